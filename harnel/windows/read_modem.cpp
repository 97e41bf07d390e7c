// ModemList's source: the modems of the device installation database, with their drivers'
// device type.

#include <windows.h>

#include <initguid.h>

#include <devguid.h>

#include "harnel/windows/device_database.h"
#include "harnel/windows/read.h"

namespace harnel::windows {

DisposableJson ReadModemList() {
  return DevicesRaw(ReadClassDevices(GUID_DEVCLASS_MODEM, {L"DeviceType"}));
}

}  // namespace harnel::windows
