#pragma once
// The firmware identity the kernel exports: /sys/class/dmi/id, one attribute per file (most
// world-readable, the serial numbers only to root), and the whole SMBIOS table (root only).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "harnel/probe/smbios_records.h"

namespace harnel::probe {

// The attribute `name` ("board_vendor"), nullopt when unreadable or a vendor's placeholder.
std::optional<std::string> ReadDmiId(const std::filesystem::path& root, std::string_view name);

// The facts read from the machine's table under `root`; empty when it is not readable (it is
// root-only on most systems).
SmbiosFacts ReadSmbiosFacts(const std::filesystem::path& root);

}  // namespace harnel::probe
