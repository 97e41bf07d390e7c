#pragma once
// The device installation database (SetupAPI): present devices, each as a raw row of what the
// database and the device's registry keys say about it.

#include <windows.h>

#include <setupapi.h>

#include "harnel/disposable_json.h"
#include "harnel/windows/registry.h"
#include "harnel/windows/unique_handle.h"

namespace harnel::windows {

struct DeviceSetTraits {
  using Handle = HDEVINFO;
  static bool IsValid(HDEVINFO set) { return set != INVALID_HANDLE_VALUE; }
  static void Release(HDEVINFO set) { SetupDiDestroyDeviceInfoList(set); }
};
// A device information set, destroyed when it goes.
using DeviceSet = UniqueHandle<DeviceSetTraits>;

// One device's row: its "Class", "DeviceDesc", "FriendlyName", "Mfg" and "HardwareID" (an
// array) where the database has them, "driver" with the values `driverValues` of its driver's
// key and "device" with the values `deviceValues` of its hardware key ("Device Parameters").
DisposableJson DeviceRow(HDEVINFO set, SP_DEVINFO_DATA& device, ValueNames driverValues,
                         ValueNames deviceValues);

// The rows of the present devices of the setup class `classGuid`, in the database's order.
DisposableJson ReadClassDevices(const GUID& classGuid, ValueNames driverValues = {},
                                ValueNames deviceValues = {});

// The rows of the present devices of every class that the bus enumerator `enumerator` ("PCI")
// found, each with its class's description as "ClassDescription".
DisposableJson ReadBusDevices(const wchar_t* enumerator);

// The raw data of a list that the database alone describes: `rows` under "devices".
DisposableJson DevicesRaw(DisposableJson&& rows);

}  // namespace harnel::windows
