// MonitorList's source: the monitors of the device installation database, with the EDID of
// each one's hardware key.

#include <windows.h>

#include <initguid.h>

#include <devguid.h>

#include "harnel/windows/device_database.h"
#include "harnel/windows/read.h"

namespace harnel::windows {

DisposableJson ReadMonitorList() {
  return DevicesRaw(ReadClassDevices(GUID_DEVCLASS_MONITOR, {}, {L"EDID"}));
}

}  // namespace harnel::windows
