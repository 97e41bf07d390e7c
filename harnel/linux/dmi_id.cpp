// Reading the firmware identity from /sys/class/dmi/id and the kernel's SMBIOS table copy.

#include "harnel/linux/dmi_id.h"

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kDmiIdFolder = "/sys/class/dmi/id/";
constexpr std::string_view kTablePath = "/sys/firmware/dmi/tables/DMI";

}  // namespace

std::optional<std::string> ReadDmiId(const std::filesystem::path& root, std::string_view name,
                                     SourceFact* fact) {
  std::optional<std::string> text =
      ReadMachineText(root, std::string(kDmiIdFolder) + std::string(name), fact);
  if (fact != nullptr && text && decode::IsFirmwarePlaceholder(*text)) fact->placeholder = *text;
  return decode::WithoutPlaceholder(std::move(text));
}

decode::SmbiosFacts ReadSmbiosFacts(const std::filesystem::path& root, FirmwareFacts* firmware) {
  const std::optional<std::string> table = ReadMachineFile(root, kTablePath, std::size_t{1} << 22,
                                                           firmware ? &firmware->table : nullptr);
  if (firmware != nullptr && firmware->table.Missing()) {
    firmware->anyFirmware = MachineFileExists(root, kDmiIdFolder);
  }
  return table ? decode::ParseSmbiosFacts(*table) : decode::SmbiosFacts{};
}

std::string WhyNoFirmwareTable(const FirmwareFacts& firmware) {
  if (!firmware.anyFirmware) return std::string(findings::kNoFirmwareTables);
  if (!firmware.table.read) return WhyUnread(firmware.table);
  return "the firmware table lists none";
}

}  // namespace harnel::linux
