#include "harnel/probe/probe_bios.h"

#include "harnel/probe/dmi_id.h"
#include "harnel/probe/firmware_records.h"
#include "harnel/probe/text_util.h"

namespace harnel::probe {
namespace {

std::optional<std::string> Either(std::optional<std::string> first,
                                  std::optional<std::string> second) {
  return first ? first : second;
}

std::optional<std::string> ChassisFromDmiId(const std::filesystem::path& root) {
  std::optional<std::string> code = ReadDmiId(root, "chassis_type");
  std::optional<std::uint64_t> number = code ? ParseUnsigned(*code) : std::nullopt;
  if (!number || *number > 0xFF) return std::nullopt;
  return ChassisTypeName(static_cast<std::uint8_t>(*number));
}

}  // namespace

nlohmann::json ProbeBIOS(const std::filesystem::path& root) {
  const BiosFields table = BiosFieldsFromSmbios(ReadSmbiosFacts(root));
  return BiosRecord({Either(ReadDmiId(root, "board_vendor"), table.boardManufacturer),
                     Either(ReadDmiId(root, "board_name"), table.boardName),
                     Either(ReadDmiId(root, "board_serial"), table.boardSerialNumber),
                     Either(ChassisFromDmiId(root), table.machineType),
                     Either(ReadDmiId(root, "bios_vendor"), table.biosManufacturer),
                     Either(ReadDmiId(root, "bios_version"), table.biosVersion),
                     Either(ReadDmiId(root, "bios_date"), table.biosReleaseDate)});
}

}  // namespace harnel::probe
