#pragma once
// SystemcontrollerNode: the PCI functions that are neither display, network nor modem
// devices, which have lists of their own.

#include <filesystem>

#include <nlohmann/json.hpp>

namespace harnel::probe {

// The SystemcontrollerList of the machine under `root`.
nlohmann::json ProbeSystemcontrollerList(const std::filesystem::path& root);

}  // namespace harnel::probe
