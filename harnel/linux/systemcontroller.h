#pragma once
// SystemcontrollerNode: the PCI functions that are neither display, network nor modem
// devices, which have lists of their own.

#include <filesystem>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The SystemcontrollerList of the machine under `root`.
// `listing` notes the listing of the PCI bus.
nlohmann::json ProbeSystemcontrollerList(const std::filesystem::path& root, SourceFact& listing);

// Why the SystemcontrollerList is empty where it is, from what ProbeSystemcontrollerList found.
void ExplainSystemcontrollerList(const SourceFact& listing, findings::Reasons& why);

}  // namespace harnel::linux
