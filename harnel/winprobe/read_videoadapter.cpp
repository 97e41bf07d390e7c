// VideoadapterNode's sources: the display adapters in the device installation database with
// their driver keys, and the current mode of each display device on the desktop.

#include <windows.h>

#include <initguid.h>

#include <devguid.h>

#include "harnel/utf16.h"
#include "harnel/winprobe/device_database.h"
#include "harnel/winprobe/read.h"

namespace harnel::winprobe {
namespace {

nlohmann::json Displays() {
  nlohmann::json rows = nlohmann::json::array();
  DISPLAY_DEVICEW display{};
  display.cb = sizeof display;
  for (DWORD index = 0; EnumDisplayDevicesW(nullptr, index, &display, 0); ++index) {
    if ((display.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) continue;
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(display.DeviceName, ENUM_CURRENT_SETTINGS, &mode)) continue;
    rows.push_back({{"DeviceID", Utf16ToUtf8(display.DeviceID)},
                    {"width", mode.dmPelsWidth},
                    {"height", mode.dmPelsHeight},
                    {"frequency", mode.dmDisplayFrequency}});
  }
  return rows;
}

}  // namespace

nlohmann::json ReadVideoadapterList() {
  nlohmann::json raw = nlohmann::json::object();
  raw["devices"] =
      ReadClassDevices(GUID_DEVCLASS_DISPLAY,
                       {L"HardwareInformation.ChipType", L"HardwareInformation.DacType",
                        L"HardwareInformation.MemorySize", L"HardwareInformation.qwMemorySize",
                        L"DriverVersion", L"DriverDate"});
  raw["displays"] = Displays();
  return raw;
}

}  // namespace harnel::winprobe
