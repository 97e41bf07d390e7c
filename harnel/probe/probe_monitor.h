#pragma once
// MonitorNode: the displays attached to the machine's graphics connectors.

#include <filesystem>

#include <nlohmann/json.hpp>

namespace harnel::probe {

// The MonitorList of the machine under `root`, one node per connected DRM connector.
nlohmann::json ProbeMonitorList(const std::filesystem::path& root);

}  // namespace harnel::probe
