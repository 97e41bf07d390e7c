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

#include "harnel/schema.h"

namespace harnel {

inline constexpr std::string_view kMachineKey = "Machine";
// The system's identity, named as `diff` names it.
inline constexpr std::string_view kMachineSystemKey = "Machine.System";

// A field the Machine key holds: of the system (`recordKey` kMachineSystemKey) or added to each
// node of the record under `recordKey`.
struct MachineField {
  std::string_view recordKey, name;
};

// Every field the Machine key holds, grouped by record, in the order diff and capture show them.
inline constexpr MachineField kMachineFields[] = {
    {kMachineSystemKey, "manufacturer"},
    {kMachineSystemKey, "product"},
    {kMachineSystemKey, "serial"},
    {kMachineSystemKey, "uuid"},
    {kMachineSystemKey, "sku"},
    {kMachineSystemKey, "assetTag"},
    {kMachineSystemKey, "chassisSerial"},
    {kMachineSystemKey, "virtualization"},
    {kProfileKey<ProcessorInfo>, "packages"},
    {kProfileKey<ProcessorInfo>, "cores"},
    {kProfileKey<ProcessorInfo>, "threads"},
    {kProfileKey<PhyMemoryNode>, "serialNumber"},
    {kProfileKey<PhyMemoryNode>, "partNumber"},
    {kProfileKey<StorageNode>, "serialNumber"},
    {kProfileKey<StorageNode>, "firmware"},
    {kProfileKey<StorageNode>, "interface"},
    {kProfileKey<MonitorNode>, "serialNumber"},
    {kProfileKey<MonitorNode>, "manufactureWeek"},
    {kProfileKey<MonitorNode>, "manufactureYear"},
    {kProfileKey<NetworkadapterNode>, "interfaceName"},
    {kProfileKey<NetworkadapterNode>, "kind"},
    {kProfileKey<NetworkadapterNode>, "status"},
    {kProfileKey<NetworkadapterNode>, "mtu"},
};

namespace detail {

template <class Record>
constexpr bool HasField(std::string_view name) {
  for (const auto& field : RecordFields<Record>::fields) {
    if (field.name == name) return true;
  }
  return false;
}

template <class... Records>
constexpr bool IsFieldOfAny(std::string_view key, std::string_view name) {
  static_assert(sizeof...(Records) == kRecordKinds);
  return ((RecordFields<Records>::key == key && HasField<Records>(name)) || ...);
}

}  // namespace detail

// Whether a profile holds a field `name` for the record under `recordKey` (or kMachineSystemKey):
// one of the record's own or one the Machine key adds to it.
constexpr bool IsProfileField(std::string_view recordKey, std::string_view name) {
  for (const MachineField& field : kMachineFields) {
    if (field.recordKey == recordKey && field.name == name) return true;
  }
  return detail::IsFieldOfAny<OSInfo, BIOSInfo, ProcessorInfo, MemoryInfo, UserInfo,
                              InputdeviceNode, ModemNode, MonitorNode, NetworkadapterNode,
                              PrinterNode, StorageNode, SystemcontrollerNode, SystemslotNode,
                              VideoadapterNode, PhyMemoryNode>(recordKey, name);
}

// The system's identity, compared and captioned as a single record whose fields are all texts.
// It is no record of the provider's: it lends only the names and kinds of its fields, never an
// offset, a getter or a layout.
inline constexpr FieldSchema kSystemFields[] = {
    {"manufacturer", FieldKind::FieldText, 0},  {"product", FieldKind::FieldText, 0},
    {"serial", FieldKind::FieldText, 0},        {"uuid", FieldKind::FieldText, 0},
    {"sku", FieldKind::FieldText, 0},           {"assetTag", FieldKind::FieldText, 0},
    {"chassisSerial", FieldKind::FieldText, 0}, {"virtualization", FieldKind::FieldText, 0},
};
inline constexpr RecordSchema kSystemSchema{kMachineSystemKey, false,   0,      0,
                                            kSystemFields,     nullptr, nullptr};

}  // namespace harnel
