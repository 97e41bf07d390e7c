// InputdeviceList's source: the keyboards and mice of the device installation database.

#include <windows.h>

#include <initguid.h>

#include <devguid.h>

#include "harnel/windows/device_database.h"
#include "harnel/windows/read.h"

namespace harnel::windows {

DisposableJson ReadInputdeviceList() {
  DisposableJson rows = ReadClassDevices(GUID_DEVCLASS_KEYBOARD);
  DisposableJson mice = ReadClassDevices(GUID_DEVCLASS_MOUSE);
  for (nlohmann::json& row : mice) rows.push_back(std::move(row));
  return DevicesRaw(std::move(rows));
}

}  // namespace harnel::windows
