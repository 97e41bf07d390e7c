#pragma once
// BIOSInfo: mainboard, chassis and firmware.

#include <filesystem>

#include <nlohmann/json.hpp>

namespace harnel::probe {

// The BIOS record of the machine under `root`: each field from /sys/class/dmi/id, else from
// the SMBIOS table where that is readable.
nlohmann::json ProbeBIOS(const std::filesystem::path& root);

}  // namespace harnel::probe
