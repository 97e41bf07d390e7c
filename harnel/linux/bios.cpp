// The BIOS reader on Linux: mainboard, chassis and firmware from the SMBIOS table or sysfs.

#include "harnel/linux/bios.h"

#include "harnel/decode/firmware_records.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/dmi_id.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

std::optional<std::string> Either(std::optional<std::string> first,
                                  std::optional<std::string> second) {
  return first ? first : second;
}

std::optional<std::string> ChassisFromDmiId(const std::filesystem::path& root, SourceFact* fact) {
  std::optional<std::string> code = ReadDmiId(root, "chassis_type", fact);
  std::optional<std::uint64_t> number = code ? decode::ParseUnsigned(*code) : std::nullopt;
  if (!number || *number > 0xFF) return std::nullopt;
  return decode::ChassisTypeName(static_cast<std::uint8_t>(*number));
}

// Why one attribute gave nothing: a placeholder it holds, or why it could not be read; then,
// when that differs, why the table gave nothing either.
std::string WhyNoAttribute(const SourceFact& attribute, const FirmwareFacts& firmware) {
  if (!attribute.placeholder.empty()) return findings::FirmwareSays(attribute.placeholder);
  const std::string own = attribute.read && !attribute.blank
                              ? attribute.path + " gives no usable value"
                              : WhyUnread(attribute);
  const std::string table = WhyNoFirmwareTable(firmware);
  return own == table ? own : own + "; " + table;
}

}  // namespace

nlohmann::json ProbeBIOS(const std::filesystem::path& root, BiosFacts& facts) {
  const decode::BiosFields table =
      decode::BiosFieldsFromSmbios(ReadSmbiosFacts(root, &facts.firmware));
  // The fact of `field`'s attribute; the BIOS's name is its vendor and version, and the
  // version tells why it has none.
  facts.attributes.reserve(8);  // one per field: the pointers below stay valid
  const auto fact = [&facts](std::string_view field) {
    return &facts.attributes.emplace_back(field, SourceFact{}).second;
  };
  std::optional<std::string> version = ReadDmiId(root, "bios_version", fact("biosVersion"));
  facts.attributes.emplace_back("biosName", facts.attributes.back().second);
  return decode::BiosRecord(
      {Either(ReadDmiId(root, "board_vendor", fact("boardManufacturer")), table.boardManufacturer),
       Either(ReadDmiId(root, "board_name", fact("boardName")), table.boardName),
       Either(ReadDmiId(root, "board_serial", fact("boardSerialNumber")), table.boardSerialNumber),
       Either(ChassisFromDmiId(root, fact("machineType")), table.machineType),
       Either(ReadDmiId(root, "bios_vendor", fact("biosManufacturer")), table.biosManufacturer),
       Either(std::move(version), table.biosVersion),
       Either(ReadDmiId(root, "bios_date", fact("biosReleaseDate")), table.biosReleaseDate)});
}

void ExplainBIOS(const BiosFacts& facts, findings::Reasons& why) {
  if (!facts.firmware.anyFirmware) {
    why.Absent(findings::kNoFirmwareTables);
    return;
  }
  for (const auto& [field, attribute] : facts.attributes) {
    why.Field(field, WhyNoAttribute(attribute, facts.firmware));
  }
}

}  // namespace harnel::linux
