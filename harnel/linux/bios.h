#pragma once
// BIOSInfo: mainboard, chassis and firmware.

#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/dmi_id.h"

namespace harnel::linux {

// What ProbeBIOS found: the firmware's table, and for each field the attribute of
// /sys/class/dmi/id it was read from first.
struct BiosFacts {
  FirmwareFacts firmware;
  std::vector<std::pair<std::string_view, SourceFact>> attributes;  // by field name
};

// The BIOS record of the machine under `root`: each field from /sys/class/dmi/id, else from
// the SMBIOS table where that is readable.
nlohmann::json ProbeBIOS(const std::filesystem::path& root, BiosFacts& facts);

// Why the BIOS record is empty where it is, from what ProbeBIOS found.
void ExplainBIOS(const BiosFacts& facts, findings::Reasons& why);

}  // namespace harnel::linux
