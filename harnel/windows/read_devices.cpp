// The lists that the device installation database alone describes: input devices, modems,
// monitors (with the EDID of each one's hardware key) and the controllers on the PCI bus.

#include <windows.h>

#include <initguid.h>

#include <devguid.h>

#include "harnel/windows/device_database.h"
#include "harnel/windows/read.h"

namespace harnel::windows {
namespace {

DisposableJson Devices(DisposableJson&& rows) {
  DisposableJson raw = nlohmann::json::object();
  PutJson(raw, "devices", std::move(rows));
  return raw;
}

}  // namespace

DisposableJson ReadInputdeviceList() {
  DisposableJson rows = ReadClassDevices(GUID_DEVCLASS_KEYBOARD);
  DisposableJson mice = ReadClassDevices(GUID_DEVCLASS_MOUSE);
  for (nlohmann::json& row : mice) rows.push_back(std::move(row));
  return Devices(std::move(rows));
}

DisposableJson ReadModemList() {
  return Devices(ReadClassDevices(GUID_DEVCLASS_MODEM, {L"DeviceType"}));
}

DisposableJson ReadMonitorList() {
  return Devices(ReadClassDevices(GUID_DEVCLASS_MONITOR, {}, {L"EDID"}));
}

DisposableJson ReadSystemcontrollerList() { return Devices(ReadBusDevices(L"PCI")); }

}  // namespace harnel::windows
