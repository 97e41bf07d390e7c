#pragma once
// The firmware identity the kernel exports: /sys/class/dmi/id, one attribute per file (most
// world-readable, the serial numbers only to root), and the whole SMBIOS table (root only).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "harnel/decode/smbios_records.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The attribute `name` ("board_vendor"), nullopt when unreadable or a vendor's placeholder;
// `fact`, when given, notes the read and the placeholder.
std::optional<std::string> ReadDmiId(const std::filesystem::path& root, std::string_view name,
                                     SourceFact* fact = nullptr);

// What reading the firmware's table found, for the reasons.
struct FirmwareFacts {
  SourceFact table;         // /sys/firmware/dmi/tables/DMI
  bool anyFirmware = true;  // false when neither the table nor /sys/class/dmi/id is there
};

// The facts read from the machine's table under `root`; empty when it is not readable (it is
// root-only on most systems). `firmware`, when given, notes what the read found.
decode::SmbiosFacts ReadSmbiosFacts(const std::filesystem::path& root,
                                    FirmwareFacts* firmware = nullptr);

// Why the firmware's table gave nothing: no firmware tables at all, the table unreadable, or,
// when it was read, that it lists none.
std::string WhyNoFirmwareTable(const FirmwareFacts& firmware);

}  // namespace harnel::linux
