// The lists that the device installation database alone describes: input devices, modems,
// monitors (with the EDID of each one's hardware key) and the controllers on the PCI bus.

#include <windows.h>

#include <initguid.h>

#include <devguid.h>

#include "harnel/winprobe/device_database.h"
#include "harnel/winprobe/read.h"

namespace harnel::winprobe {
namespace {

nlohmann::json Devices(nlohmann::json rows) { return {{"devices", std::move(rows)}}; }

}  // namespace

nlohmann::json ReadInputdeviceList() {
  nlohmann::json rows = ReadClassDevices(GUID_DEVCLASS_KEYBOARD);
  for (nlohmann::json& row : ReadClassDevices(GUID_DEVCLASS_MOUSE)) rows.push_back(std::move(row));
  return Devices(std::move(rows));
}

nlohmann::json ReadModemList() {
  return Devices(ReadClassDevices(GUID_DEVCLASS_MODEM, {L"DeviceType"}));
}

nlohmann::json ReadMonitorList() {
  return Devices(ReadClassDevices(GUID_DEVCLASS_MONITOR, {}, {L"EDID"}));
}

nlohmann::json ReadSystemcontrollerList() { return Devices(ReadBusDevices(L"PCI")); }

}  // namespace harnel::winprobe
