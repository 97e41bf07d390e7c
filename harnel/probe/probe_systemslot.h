#pragma once
// SystemslotNode: the expansion slots the firmware describes.

#include <filesystem>

#include <nlohmann/json.hpp>

namespace harnel::probe {

// The SystemslotList of the machine under `root`, from the SMBIOS table (readable by root).
nlohmann::json ProbeSystemslotList(const std::filesystem::path& root);

}  // namespace harnel::probe
