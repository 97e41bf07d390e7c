#pragma once
// MonitorNode: the displays attached to the machine's graphics connectors.

#include <filesystem>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The MonitorList of the machine under `root`, one node per connected DRM connector.
// `listing` notes the listing of /sys/class/drm.
nlohmann::json ProbeMonitorList(const std::filesystem::path& root, SourceFact& listing);

// Why the MonitorList is empty where it is, from what ProbeMonitorList found.
void ExplainMonitorList(const SourceFact& listing, findings::Reasons& why);

}  // namespace harnel::linux
