#pragma once
// Where a profile keeps what is known of the machine beyond the provider's records: the
// "Machine" key, its system's identity and the facts it adds to each record's nodes.
//
//   "Machine": {
//     "System": {...},                 texts: the system's identity and virtualization
//     "Processor": {...},              integers: packages, and cores and threads per package
//     "PhyMemoryList": [{...}, ...],   and so on for each list kMachineGroups names
//   }
//
// Each list holds one object per node of the record list of the same key, in the same order:
// its n-th object adds to the n-th node, and the provider refuses a profile whose list has more
// or fewer objects than the record has nodes. A null or absent value is no value. Replay uses
// nothing else of the key; the host's capture, diff and fleet export read it.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "harnel/schema.h"

namespace harnel {

inline constexpr std::string_view kMachineKey = "Machine";
// The system's identity, named as `diff` names it.
inline constexpr std::string_view kMachineSystemKey = "Machine.System";

// The names of the Machine key's fields. Every table that reads or writes one (the readers of
// each system, the host's captions, the fleet export) names it through these, and the groups
// below say which record each belongs to.
namespace machine {
inline constexpr std::string_view kManufacturer = "manufacturer";
inline constexpr std::string_view kProduct = "product";
inline constexpr std::string_view kSerial = "serial";
inline constexpr std::string_view kUuid = "uuid";
inline constexpr std::string_view kSku = "sku";
inline constexpr std::string_view kAssetTag = "assetTag";
inline constexpr std::string_view kChassisSerial = "chassisSerial";
inline constexpr std::string_view kVirtualization = "virtualization";
inline constexpr std::string_view kPackages = "packages";
inline constexpr std::string_view kCores = "cores";
inline constexpr std::string_view kThreads = "threads";
inline constexpr std::string_view kSerialNumber = "serialNumber";
inline constexpr std::string_view kPartNumber = "partNumber";
inline constexpr std::string_view kFirmware = "firmware";
inline constexpr std::string_view kInterface = "interface";
inline constexpr std::string_view kManufactureWeek = "manufactureWeek";
inline constexpr std::string_view kManufactureYear = "manufactureYear";
inline constexpr std::string_view kInterfaceName = "interfaceName";
inline constexpr std::string_view kKind = "kind";
inline constexpr std::string_view kStatus = "status";
inline constexpr std::string_view kMtu = "mtu";

inline constexpr std::string_view kSystemFields[] = {
    kManufacturer, kProduct, kSerial, kUuid, kSku, kAssetTag, kChassisSerial, kVirtualization};
inline constexpr std::string_view kProcessorFields[] = {kPackages, kCores, kThreads};
inline constexpr std::string_view kPhyMemoryFields[] = {kSerialNumber, kPartNumber};
inline constexpr std::string_view kStorageFields[] = {kSerialNumber, kFirmware, kInterface};
inline constexpr std::string_view kMonitorFields[] = {kSerialNumber, kManufactureWeek,
                                                      kManufactureYear};
inline constexpr std::string_view kNetworkadapterFields[] = {kInterfaceName, kKind, kStatus, kMtu};
}  // namespace machine

// One part of the Machine key: the system's identity (`recordKey` kMachineSystemKey), or the
// facts it adds to the record under `recordKey`: one object for a single record, for a list
// one object per node, the n-th adding to the n-th node.
struct MachineGroup {
  std::string_view recordKey;
  bool perNode;
  std::span<const std::string_view> fields;
};

// The Machine key's layout, in the order diff and capture show it.
inline constexpr MachineGroup kMachineGroups[] = {
    {kMachineSystemKey, false, machine::kSystemFields},
    {kProfileKey<ProcessorInfo>, false, machine::kProcessorFields},
    {kProfileKey<PhyMemoryNode>, true, machine::kPhyMemoryFields},
    {kProfileKey<StorageNode>, true, machine::kStorageFields},
    {kProfileKey<MonitorNode>, true, machine::kMonitorFields},
    {kProfileKey<NetworkadapterNode>, true, machine::kNetworkadapterFields},
};

namespace detail {

// Whether the record under `key` is a list; false for no record.
constexpr bool IsListKey(std::string_view key) {
  return !EachRecordType([&]<class Record>() {
    return !(RecordFields<Record>::key == key && requires { &Record::next; });
  });
}

// Each group adds to a record of the schema, per node exactly when that record is a list, and
// names no field the record has itself; no field is named twice in a group.
constexpr bool GroupsFitRecords() {
  for (const MachineGroup& group : kMachineGroups) {
    if (group.recordKey != kMachineSystemKey) {
      const bool known = !EachRecordType(
          [&]<class Record>() { return RecordFields<Record>::key != group.recordKey; });
      if (!known || group.perNode != IsListKey(group.recordKey)) return false;
    }
    for (std::size_t i = 0; i < group.fields.size(); ++i) {
      if (IsRecordField(group.recordKey, group.fields[i])) return false;
      for (std::size_t j = 0; j < i; ++j) {
        if (group.fields[i] == group.fields[j]) return false;
      }
    }
  }
  return true;
}
static_assert(GroupsFitRecords());

}  // namespace detail

// The part of the Machine key for the record under `recordKey` (or kMachineSystemKey); null
// when the key adds nothing to it.
constexpr const MachineGroup* FindMachineGroup(std::string_view recordKey) {
  for (const MachineGroup& group : kMachineGroups) {
    if (group.recordKey == recordKey) return &group;
  }
  return nullptr;
}

// Whether a profile holds a field `name` for the record under `recordKey` (or kMachineSystemKey):
// one of the record's own or one the Machine key adds to it.
// It walks the groups itself: GCC 12 under the sanitizers cannot compare a pointer into
// kMachineGroups with null in a constant expression, and the tables' checks are ones.
constexpr bool IsProfileField(std::string_view recordKey, std::string_view name) {
  for (const MachineGroup& group : kMachineGroups) {
    if (group.recordKey != recordKey) continue;
    for (std::string_view field : group.fields) {
      if (field == name) return true;
    }
  }
  return IsRecordField(recordKey, name);
}

// The system's identity, compared and captioned as a single record whose fields are all texts.
// It is no record of the provider's: it lends only the names and kinds of its fields, never an
// offset, a getter or a layout.
inline constexpr auto kSystemFieldSchemas = [] {
  std::array<FieldSchema, std::size(machine::kSystemFields)> fields{};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i] = {machine::kSystemFields[i], FieldKind::FieldText, 0};
  }
  return fields;
}();
inline constexpr RecordSchema kSystemSchema{kMachineSystemKey,   false,   0,      0,
                                            kSystemFieldSchemas, nullptr, nullptr};

// Why the Machine key of `profile` cannot be matched to its records: a list of it with more or
// fewer objects than the record list of its key has nodes, both counts named; empty when each
// can. A list that is not an array, or a key that is not an object, adds nothing and is no
// problem.
std::string CheckMachineCounts(const nlohmann::json& profile);

}  // namespace harnel
