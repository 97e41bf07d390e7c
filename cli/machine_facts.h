#pragma once
// What the host adds to the profile's "Machine" key (harnel/machine_key.h): the fields it holds
// for each record and their captions, and the key captured from this machine or a profile.

#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/machine_key.h"

namespace velmora::cli {

using harnel::kMachineKey;
using harnel::MachineFactsOf;
using harnel::SystemSchema;

// The fields the Machine key adds to each node of the record under `recordKey`, in table order;
// empty for a record it adds nothing to.
std::span<const std::string_view> MachineFields(std::string_view recordKey);

// The caption of a field the Machine key holds, in the pair labels' vocabulary ("系统序列号");
// empty for a field it does not hold. `recordKey` is the record it adds to, or "Machine.System".
std::string MachineFieldCaption(std::string_view recordKey, std::string_view field);

// This machine as a profile: the provider's records now (CaptureRecords), in provider order, then
// the Machine key. While the provider replays a profile file (`replayed`, or the one the
// environment names), the key is that file's own, copied as it stands; reading the machine
// itself, the key is what the readers of the machine find, and `reasons`, when given, receives
// why it lacks what it lacks, in the key's shape (nothing while a profile is replayed).
nlohmann::ordered_json CaptureMachine(const std::string& replayed,
                                      nlohmann::ordered_json* reasons = nullptr);

// The Machine key of the profile file `path`, or null when the file has none or cannot be read
// (the provider's replay says why a profile cannot be used).
nlohmann::ordered_json ReadMachineKey(const std::string& path);

}  // namespace velmora::cli
