#pragma once
// SystemslotNode: the expansion slots the firmware describes.

#include <filesystem>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/dmi_id.h"

namespace harnel::linux {

// The SystemslotList of the machine under `root`, from the SMBIOS table (readable by root).
nlohmann::json ProbeSystemslotList(const std::filesystem::path& root, FirmwareFacts& firmware);

// Why the SystemslotList is empty where it is, from what ProbeSystemslotList found.
void ExplainSystemslotList(const FirmwareFacts& firmware, findings::Reasons& why);

}  // namespace harnel::linux
