#pragma once
// The machine the provider reads now, as profile JSON: what a host shows, stores and compares
// (the profile form of every record, the Machine key, and why what is empty is empty), from
// the one provider in its process.

#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/provider_core.h"

namespace harnel {

// What MachineJson gives of a part: its values, why they are empty where they are, or both.
struct MachineParts {
  bool values = true;
  bool reasons = false;
};

// The part `section` of the machine `core` serves:
//   ""            the whole profile: every record the provider's exported functions give now,
//                 in provider order under its key (a missing one as null), then the Machine key
//                 when there is one (the replayed profile's own, or what the readers of the
//                 machine find). With reasons, "Reasons" after them: the reasons of each record
//                 and of the Machine key that say anything, left out when none does. Reasons
//                 alone: that "Reasons" object by itself.
//   a record key  that record in the profile form, or its reasons (a string for a missing
//                 record, an object of field reasons, an array of them for a list).
//   "Machine"     the Machine key, or its reasons in its shape.
// A replayed machine has no reasons (null). nullopt for an unknown section, or for values and
// reasons asked together of one record or of the Machine key. Memory exhaustion passes to the
// caller; any other failure of a reader is reported on standard error and leaves its part out.
std::optional<nlohmann::ordered_json> MachineJson(ProviderCore& core, std::string_view section,
                                                  MachineParts parts);

}  // namespace harnel
