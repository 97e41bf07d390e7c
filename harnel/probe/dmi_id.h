#pragma once
// The firmware identity the kernel exports in /sys/class/dmi/id, one attribute per file; most
// are world-readable, the serial numbers only to root.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace harnel::probe {

// The attribute `name` ("board_vendor"), nullopt when unreadable or a vendor's placeholder.
std::optional<std::string> ReadDmiId(const std::filesystem::path& root, std::string_view name);

// True for the filler texts firmware leaves in unset fields ("To be filled by O.E.M.").
bool IsFirmwarePlaceholder(std::string_view text);

// `value` unless it is a firmware placeholder.
std::optional<std::string> WithoutPlaceholder(std::optional<std::string> value);

}  // namespace harnel::probe
