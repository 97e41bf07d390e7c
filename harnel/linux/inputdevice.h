#pragma once
// InputdeviceNode: keyboards and pointing devices.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// One block of /proc/bus/input/devices, reduced to what the record needs.
struct InputDevice {
  std::string name;
  std::string sysfsPath;  // "/devices/platform/i8042/serio0/input/input0"
  std::uint32_t bus = 0;
  std::string deviceType;  // "Keyboard", "Pointing", or empty for anything else
};

// Parses /proc/bus/input/devices text: a keyboard has the keyboard handler and key repeat, a
// pointing device the mouse handler.
std::vector<InputDevice> ParseInputDevices(std::string_view text);

// The InputdeviceList of the machine under `root`; `devices` notes the read of
// /proc/bus/input/devices.
nlohmann::json ProbeInputdeviceList(const std::filesystem::path& root, SourceFact& devices);

// Why the InputdeviceList is empty where it is, from what ProbeInputdeviceList found.
void ExplainInputdeviceList(const SourceFact& devices, findings::Reasons& why);

}  // namespace harnel::linux
