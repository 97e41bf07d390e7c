// SystemcontrollerList's source: the devices that the PCI bus enumerator found.

#include "harnel/windows/device_database.h"
#include "harnel/windows/read.h"

namespace harnel::windows {

DisposableJson ReadSystemcontrollerList() { return DevicesRaw(ReadBusDevices(L"PCI")); }

}  // namespace harnel::windows
