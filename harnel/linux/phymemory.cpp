// The PhyMemoryList reader on Linux: memory modules from the SMBIOS table, else udev.

#include "harnel/linux/phymemory.h"

#include <map>

#include "harnel/decode/firmware_records.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/dmi_id.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kUdevDmiPath = "/run/udev/data/+dmi:id";
constexpr std::string_view kDevicePrefix = "E:MEMORY_DEVICE_";

std::optional<std::int64_t> AsInt(std::string_view text) {
  std::optional<std::uint64_t> value = decode::ParseUnsigned(text);
  if (!value) return std::nullopt;
  return static_cast<std::int64_t>(*value);
}

}  // namespace

std::vector<decode::SmbiosMemoryDevice> ParseUdevMemoryDevices(std::string_view text) {
  struct Entry {
    decode::SmbiosMemoryDevice device;
    bool absent = false;
  };
  std::map<std::uint64_t, Entry> entries;
  for (std::string_view line : decode::SplitLines(text)) {
    if (!decode::StartsWith(line, kDevicePrefix)) continue;
    line.remove_prefix(kDevicePrefix.size());
    const std::size_t underscore = line.find('_');
    const std::size_t equals = line.find('=');
    if (underscore == std::string_view::npos || equals == std::string_view::npos ||
        equals < underscore) {
      continue;
    }
    std::optional<std::uint64_t> index = decode::ParseUnsigned(line.substr(0, underscore));
    if (!index) continue;
    const std::string_view key = line.substr(underscore + 1, equals - underscore - 1);
    const std::string_view value = decode::Trim(line.substr(equals + 1));
    if (value.empty()) continue;
    Entry& entry = entries[*index];
    decode::SmbiosMemoryDevice& device = entry.device;
    if (key == "PRESENT") entry.absent = value == "0";
    if (key == "SIZE") {
      if (auto bytes = AsInt(value)) device.sizeMB = *bytes / (1024 * 1024);
    }
    if (key == "SPEED_MTS") device.speedMTs = AsInt(value);
    if (key == "DATA_WIDTH") device.dataWidth = AsInt(value);
    if (key == "LOCATOR") device.deviceLocator = std::string(value);
    if (key == "BANK_LOCATOR") device.bankLocator = std::string(value);
    if (key == "MANUFACTURER") device.manufacturer = std::string(value);
    if (key == "PART_NUMBER") device.partNumber = std::string(value);
    if (key == "SERIAL_NUMBER") device.serialNumber = std::string(value);
    if (key == "TYPE") device.memoryType = std::string(value);
    if (key == "FORM_FACTOR") device.formFactor = std::string(value);
  }
  std::vector<decode::SmbiosMemoryDevice> devices;
  for (auto& [index, entry] : entries) {
    if (!entry.absent && entry.device.sizeMB && *entry.device.sizeMB > 0) {
      devices.push_back(std::move(entry.device));
    }
  }
  return devices;
}

MemoryDevices ReadMemoryDevices(const std::filesystem::path& root, FirmwareFacts* firmware) {
  MemoryDevices read{ReadSmbiosFacts(root, firmware).memoryDevices, false};
  if (read.devices.empty()) {
    if (auto text = ReadMachineFile(root, kUdevDmiPath)) {
      read.devices = ParseUdevMemoryDevices(*text);
      read.fromUdev = true;
    }
  }
  return read;
}

nlohmann::json ProbePhyMemoryList(const std::filesystem::path& root, FirmwareFacts& firmware) {
  return decode::MemoryModuleList(ReadMemoryDevices(root, &firmware).devices);
}

void ExplainPhyMemoryList(const FirmwareFacts& firmware, findings::Reasons& why) {
  why.Absent(WhyNoFirmwareTable(firmware));
  why.EveryNode("moduleName", "the firmware gives no part number or bank locator");
  why.EveryNode("description", "the firmware gives no form factor");
  why.EveryNode("deviceLocator", "the firmware gives no locator");
  why.EveryNode("capacityMB", "the firmware gives no size");
  why.EveryNode("speedMHz", "the firmware gives no speed");
  why.EveryNode("manufacturer", "the firmware gives no manufacturer");
  why.EveryNode("dataWidth", "the firmware gives no data width");
  why.EveryNode("memoryType", "the firmware gives no memory type");
}

}  // namespace harnel::linux
