#pragma once
// Display connectors as the DRM subsystem lists them in sysfs.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harnel/decode/edid.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// A connector with a display attached.
struct DrmConnector {
  std::string name;                 // "card0-HDMI-A-1"
  std::optional<std::string> mode;  // the first listed mode, "1920x1080"
  std::optional<decode::Edid> edid;
};

// The connected connectors in /sys/class/drm of the machine under `root`; `listing`, when
// given, notes the listing of /sys/class/drm.
std::vector<DrmConnector> ReadConnectedDisplays(const std::filesystem::path& root,
                                                SourceFact* listing = nullptr);

// The connected connectors of the cards that the PCI device folder `deviceFolder` drives.
std::vector<DrmConnector> ReadDeviceDisplays(const std::filesystem::path& root,
                                             const std::string& deviceFolder);

}  // namespace harnel::linux
