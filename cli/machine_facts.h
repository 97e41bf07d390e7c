#pragma once
// The profile's "Machine" key: what is known of the machine beyond the provider's records (the
// system's identity, its virtualization, and facts of its devices that no record holds).
// Replay ignores the key; capture, diff and export read it.
//
//   "Machine": {
//     "System": {"manufacturer", "product", "serial", "uuid", "sku", "assetTag",
//                "chassisSerial", "virtualization"},            texts
//     "Processor": {"packages", "cores", "threads"},             integers, cores and threads
//                                                                 per physical processor
//     "PhyMemoryList": [{"serialNumber", "partNumber"}, ...],
//     "StorageList": [{"serialNumber", "firmware", "interface"}, ...],
//     "MonitorList": [{"serialNumber", "manufactureWeek", "manufactureYear"}, ...],
//     "NetworkadapterList": [{"interfaceName", "kind", "status", "mtu"}, ...]
//   }
//
// Each list holds one object per node of the record list of the same key, in the same order:
// its n-th object adds to the n-th node. A null or absent value is no value.

#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/schema.h"

namespace velmora::cli {

inline constexpr std::string_view kMachineKey = "Machine";

// The system's identity, compared and captioned as a single record whose fields are all texts.
// Its key is "Machine.System", as `diff` names it.
const harnel::RecordSchema& SystemSchema();

// The fields the Machine key adds to each node of the record under `recordKey`, in table order;
// empty for a record it adds nothing to.
std::span<const std::string_view> MachineFields(std::string_view recordKey);

// The caption of a field the Machine key holds, in the pair labels' vocabulary ("系统序列号");
// empty for a field it does not hold. `recordKey` is the record it adds to, or "Machine.System".
std::string MachineFieldCaption(std::string_view recordKey, std::string_view field);

// What the Machine key of `profile` says about the `index`-th node of the record under
// `recordKey` (index 0 for a single record, "Machine.System" for the system); null when it says
// nothing.
const nlohmann::json& MachineFactsOf(const nlohmann::json& profile, std::string_view recordKey,
                                     std::size_t index);

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
