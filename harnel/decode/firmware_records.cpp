// Building the BIOS record, the system slots and the memory modules from SMBIOS structures.

#include "harnel/decode/firmware_records.h"

#include "harnel/decode/put_fields.h"

namespace harnel::decode {
namespace {

// Parts that have a value, joined by `separator`; nullopt when none has.
std::optional<std::string> JoinPresent(std::initializer_list<std::optional<std::string>> parts,
                                       const char* separator) {
  std::string text;
  for (const std::optional<std::string>& part : parts) {
    if (!part) continue;
    if (!text.empty()) text += separator;
    text += *part;
  }
  if (text.empty()) return std::nullopt;
  return text;
}

DisposableJson ModuleRecord(const SmbiosMemoryDevice& device) {
  DisposableJson node = nlohmann::json::object();
  PutText(node, "moduleName", device.partNumber ? device.partNumber : device.bankLocator);
  PutText(node, "description", JoinPresent({device.memoryType, device.formFactor}, " "));
  PutText(node, "deviceLocator", device.deviceLocator);
  PutInt(node, "capacityMB", device.sizeMB);
  PutInt(node, "speedMHz", device.speedMTs);
  PutText(node, "manufacturer", WithoutPlaceholder(device.manufacturer));
  PutInt(node, "dataWidth", device.dataWidth);
  PutText(node, "memoryType", device.memoryType);
  return node;
}

}  // namespace

BiosFields BiosFieldsFromSmbios(const SmbiosFacts& facts) {
  const SmbiosBoard board = facts.board.value_or(SmbiosBoard{});
  const SmbiosBios bios = facts.bios.value_or(SmbiosBios{});
  const SmbiosChassis chassis = facts.chassis.value_or(SmbiosChassis{});
  return {WithoutPlaceholder(board.manufacturer), WithoutPlaceholder(board.product),
          WithoutPlaceholder(board.serialNumber), WithoutPlaceholder(chassis.chassisType),
          WithoutPlaceholder(bios.vendor),        WithoutPlaceholder(bios.version),
          WithoutPlaceholder(bios.releaseDate)};
}

nlohmann::json BiosRecord(const BiosFields& fields) {
  DisposableJson record = nlohmann::json::object();
  PutText(record, "boardManufacturer", fields.boardManufacturer);
  PutText(record, "boardName", fields.boardName);
  PutText(record, "boardSerialNumber", fields.boardSerialNumber);
  PutText(record, "machineType", fields.machineType);
  PutText(record, "biosName", JoinPresent({fields.biosManufacturer, fields.biosVersion}, " "));
  PutText(record, "biosManufacturer", fields.biosManufacturer);
  PutText(record, "biosVersion", fields.biosVersion);
  PutText(record, "biosReleaseDate", fields.biosReleaseDate);
  return RecordOrNull(std::move(record));
}

nlohmann::json SystemslotList(const std::vector<SmbiosSlot>& slots) {
  DisposableJson list = nlohmann::json::array();
  for (const SmbiosSlot& slot : slots) {
    DisposableJson node = nlohmann::json::object();
    PutText(node, "name", slot.designation);
    PutText(node, "smbiosString", slot.summary);
    list.push_back(std::move(node));
  }
  return ListOrNull(std::move(list));
}

nlohmann::json MemoryModuleList(const std::vector<SmbiosMemoryDevice>& devices) {
  DisposableJson list = nlohmann::json::array();
  for (const SmbiosMemoryDevice& device : devices) list.push_back(ModuleRecord(device));
  return ListOrNull(std::move(list));
}

}  // namespace harnel::decode
