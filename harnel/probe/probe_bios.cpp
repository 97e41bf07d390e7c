#include "harnel/probe/probe_bios.h"

#include "harnel/probe/dmi_id.h"
#include "harnel/probe/record_json.h"
#include "harnel/probe/smbios_records.h"
#include "harnel/probe/text_util.h"

namespace harnel::probe {
namespace {

std::optional<std::string> Either(std::optional<std::string> first,
                                  std::optional<std::string> second) {
  return first ? first : WithoutPlaceholder(std::move(second));
}

std::optional<std::string> ChassisFromDmiId(const std::filesystem::path& root) {
  std::optional<std::string> code = ReadDmiId(root, "chassis_type");
  std::optional<std::uint64_t> number = code ? ParseUnsigned(*code) : std::nullopt;
  if (!number || *number > 0xFF) return std::nullopt;
  return ChassisTypeName(static_cast<std::uint8_t>(*number));
}

}  // namespace

nlohmann::json ProbeBIOS(const std::filesystem::path& root) {
  const SmbiosFacts facts = ReadSmbiosFacts(root);
  const SmbiosBoard board = facts.board.value_or(SmbiosBoard{});
  const SmbiosBios bios = facts.bios.value_or(SmbiosBios{});
  const SmbiosChassis chassis = facts.chassis.value_or(SmbiosChassis{});

  DisposableJson record = nlohmann::json::object();
  PutText(record, "boardManufacturer", Either(ReadDmiId(root, "board_vendor"), board.manufacturer));
  PutText(record, "boardName", Either(ReadDmiId(root, "board_name"), board.product));
  PutText(record, "boardSerialNumber", Either(ReadDmiId(root, "board_serial"), board.serialNumber));
  PutText(record, "machineType", Either(ChassisFromDmiId(root), chassis.chassisType));
  std::optional<std::string> vendor = Either(ReadDmiId(root, "bios_vendor"), bios.vendor);
  std::optional<std::string> version = Either(ReadDmiId(root, "bios_version"), bios.version);
  if (vendor && version) {
    PutText(record, "biosName", *vendor + " " + *version);
  } else {
    PutText(record, "biosName", version ? version : vendor);
  }
  PutText(record, "biosManufacturer", vendor);
  PutText(record, "biosVersion", version);
  PutText(record, "biosReleaseDate", Either(ReadDmiId(root, "bios_date"), bios.releaseDate));
  return RecordOrNull(std::move(record));
}

}  // namespace harnel::probe
