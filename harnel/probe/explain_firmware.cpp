// Why the records that come from the firmware (mainboard and BIOS, system slots, memory
// modules) lack a value.

#include "harnel/probe/explainers.h"
#include "harnel/probe/machine_files.h"
#include "harnel/probe/reasons_json.h"
#include "harnel/probe/smbios_records.h"
#include "harnel/probe/source_reasons.h"

namespace harnel::probe {
namespace {

constexpr std::string_view kDmiIdFolder = "/sys/class/dmi/id";
constexpr std::string_view kTable = "/sys/firmware/dmi/tables/DMI";

// The BIOS record's fields and the attribute of the dmi folder each is read from first.
struct BiosAttribute {
  std::string_view field;
  std::string_view attribute;
};
constexpr BiosAttribute kBiosAttributes[] = {
    {"boardManufacturer", "board_vendor"}, {"boardName", "board_name"},
    {"boardSerialNumber", "board_serial"}, {"machineType", "chassis_type"},
    {"biosName", "bios_version"},          {"biosManufacturer", "bios_vendor"},
    {"biosVersion", "bios_version"},       {"biosReleaseDate", "bios_date"},
};

bool NoFirmwareAtAll(const std::filesystem::path& root) {
  return !MachineFileExists(root, kDmiIdFolder) && !MachineFileExists(root, kTable);
}

// Why one attribute gave nothing: a placeholder it holds, or why it could not be read; then,
// when that differs, why the table gave nothing either.
std::string WhyNoAttribute(const std::filesystem::path& root, std::string_view attribute) {
  const std::string path = std::string(kDmiIdFolder) + "/" + std::string(attribute);
  const std::optional<std::string> text = ReadMachineText(root, path);
  if (text && IsFirmwarePlaceholder(*text)) return FirmwareSays(*text);
  const std::string own = text ? path + " gives no usable value" : WhyUnread(root, path);
  const std::string table = WhyNoFirmwareTable(root);
  return own == table ? own : own + "; " + table;
}

}  // namespace

std::string WhyNoFirmwareTable(const std::filesystem::path& root) {
  if (NoFirmwareAtAll(root)) return std::string(kNoFirmwareTables);
  if (!ReadMachineFile(root, kTable, 1)) return WhyUnread(root, kTable);
  return "the firmware table lists none";
}

void ExplainBIOS(const std::filesystem::path& root, const nlohmann::json& record, Reasons& why) {
  if (NoFirmwareAtAll(root)) {
    why.Absent(kNoFirmwareTables);
    return;
  }
  for (const BiosAttribute& source : kBiosAttributes) {
    if (NoValue(record, source.field)) {
      why.Field(source.field, WhyNoAttribute(root, source.attribute));
    }
  }
}

void ExplainSystemslotList(const std::filesystem::path& root, const nlohmann::json& record,
                           Reasons& why) {
  if (record.is_null()) why.Absent(WhyNoFirmwareTable(root));
  ExplainNodes(record,
               {{"name", "the firmware gives no designation"},
                {"smbiosString", "the firmware gives no slot type"}},
               why);
}

void ExplainPhyMemoryList(const std::filesystem::path& root, const nlohmann::json& record,
                          Reasons& why) {
  if (record.is_null()) why.Absent(WhyNoFirmwareTable(root));
  ExplainNodes(record,
               {{"moduleName", "the firmware gives no part number or bank locator"},
                {"description", "the firmware gives no form factor"},
                {"deviceLocator", "the firmware gives no locator"},
                {"capacityMB", "the firmware gives no size"},
                {"speedMHz", "the firmware gives no speed"},
                {"manufacturer", "the firmware gives no manufacturer"},
                {"dataWidth", "the firmware gives no data width"},
                {"memoryType", "the firmware gives no memory type"}},
               why);
}

}  // namespace harnel::probe
