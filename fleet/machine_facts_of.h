#pragma once
// Reading a profile's Machine key (harnel/machine_key.h) beside its records, as the host's
// commands and the fleet's documents do.

#include <cstddef>
#include <string_view>

#include <nlohmann/json.hpp>

namespace velmora::fleet {

// What the Machine key of `profile` says about the `index`-th node of the record under
// `recordKey` (index 0 for a single record, harnel::kMachineSystemKey for the system); null when
// it says nothing. The reference stays valid while `profile` is unchanged.
const nlohmann::json& MachineFactsOf(const nlohmann::json& profile, std::string_view recordKey,
                                     std::size_t index);

}  // namespace velmora::fleet
