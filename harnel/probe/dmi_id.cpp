#include "harnel/probe/dmi_id.h"

#include "harnel/probe/machine_files.h"

namespace harnel::probe {
namespace {

constexpr std::string_view kDmiIdFolder = "/sys/class/dmi/id/";
constexpr std::string_view kTablePath = "/sys/firmware/dmi/tables/DMI";

}  // namespace

std::optional<std::string> ReadDmiId(const std::filesystem::path& root, std::string_view name) {
  return WithoutPlaceholder(ReadMachineText(root, std::string(kDmiIdFolder) + std::string(name)));
}

SmbiosFacts ReadSmbiosFacts(const std::filesystem::path& root) {
  const std::optional<std::string> table = ReadMachineFile(root, kTablePath);
  return table ? ParseSmbiosFacts(*table) : SmbiosFacts{};
}

}  // namespace harnel::probe
