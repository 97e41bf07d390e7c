#include "harnel/probe/dmi_id.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "harnel/probe/machine_files.h"
#include "harnel/probe/text_util.h"

namespace harnel::probe {
namespace {

constexpr std::string_view kDmiIdFolder = "/sys/class/dmi/id/";

constexpr std::array<std::string_view, 9> kPlaceholders = {
    "to be filled by o.e.m.",
    "default string",
    "not specified",
    "not applicable",
    "none",
    "system serial number",
    "n/a",
    "unknown",
    "0123456789",
};

}  // namespace

bool IsFirmwarePlaceholder(std::string_view text) {
  std::string lower(Trim(text));
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(kPlaceholders.begin(), kPlaceholders.end(), lower) != kPlaceholders.end();
}

std::optional<std::string> WithoutPlaceholder(std::optional<std::string> value) {
  if (value && IsFirmwarePlaceholder(*value)) return std::nullopt;
  return value;
}

std::optional<std::string> ReadDmiId(const std::filesystem::path& root, std::string_view name) {
  return WithoutPlaceholder(ReadMachineText(root, std::string(kDmiIdFolder) + std::string(name)));
}

}  // namespace harnel::probe
