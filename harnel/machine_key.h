#pragma once
// Where a profile keeps what is known of the machine beyond the provider's records: the
// "Machine" key, its system's identity and the facts it adds to each record's nodes.
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
// its n-th object adds to the n-th node. A null or absent value is no value. Replay ignores the
// key; the host's capture, diff and fleet export read it.

#include <cstddef>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/schema.h"

namespace harnel {

inline constexpr std::string_view kMachineKey = "Machine";
// The system's identity, named as `diff` names it.
inline constexpr std::string_view kMachineSystemKey = "Machine.System";

// The system's identity, compared and captioned as a single record whose fields are all texts.
// It is no record of the provider's: it lends only the names and kinds of its fields, never an
// offset, a getter or a layout.
const RecordSchema& SystemSchema();

// What the Machine key of `profile` says about the `index`-th node of the record under
// `recordKey` (index 0 for a single record, kMachineSystemKey for the system); null when it says
// nothing. The reference stays valid while `profile` is unchanged.
const nlohmann::json& MachineFactsOf(const nlohmann::json& profile, std::string_view recordKey,
                                     std::size_t index);

}  // namespace harnel
