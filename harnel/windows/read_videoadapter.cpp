// VideoadapterNode's sources: the display adapters in the device installation database with
// their driver keys, and the current mode of each display device on the desktop.

#include <windows.h>

#include <initguid.h>

#include <devguid.h>

#include "harnel/decode/utf16.h"
#include "harnel/windows/device_database.h"
#include "harnel/windows/read.h"

namespace harnel::windows {
namespace {

DisposableJson Displays() {
  DisposableJson rows = nlohmann::json::array();
  DISPLAY_DEVICEW display{};
  display.cb = sizeof display;
  for (DWORD index = 0; EnumDisplayDevicesW(nullptr, index, &display, 0); ++index) {
    if ((display.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) continue;
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(display.DeviceName, ENUM_CURRENT_SETTINGS, &mode)) continue;
    DisposableJson row = nlohmann::json::object();
    row["DeviceID"] = decode::Utf16ToUtf8(display.DeviceID);
    row["width"] = mode.dmPelsWidth;
    row["height"] = mode.dmPelsHeight;
    row["frequency"] = mode.dmDisplayFrequency;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace

DisposableJson ReadVideoadapterList() {
  DisposableJson raw = nlohmann::json::object();
  PutJson(raw, "devices",
          ReadClassDevices(GUID_DEVCLASS_DISPLAY,
                           {L"HardwareInformation.ChipType", L"HardwareInformation.DacType",
                            L"HardwareInformation.MemorySize", L"HardwareInformation.qwMemorySize",
                            L"DriverVersion", L"DriverDate"}));
  PutJson(raw, "displays", Displays());
  return raw;
}

}  // namespace harnel::windows
