// Reading present devices from SetupAPI's device database into raw rows.

#include "harnel/windows/device_database.h"

#include <array>
#include <string>

#include "harnel/decode/utf16.h"
#include "harnel/windows/raw_values.h"
#include "harnel/windows/registry.h"

namespace harnel::windows {
namespace {

struct Property {
  DWORD code;  // SPDRP_*
  const char* name;
};
// Named as the database's own registry entries name them.
constexpr std::array<Property, 5> kProperties = {{
    {SPDRP_CLASS, "Class"},
    {SPDRP_DEVICEDESC, "DeviceDesc"},
    {SPDRP_FRIENDLYNAME, "FriendlyName"},
    {SPDRP_MFG, "Mfg"},
    {SPDRP_HARDWAREID, "HardwareID"},
}};

// A property's bytes; empty when the device has none.
std::string PropertyBytes(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD code, DWORD& type) {
  std::string data(256, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD required = 0;
    if (SetupDiGetDeviceRegistryPropertyW(set, &device, code, &type,
                                          reinterpret_cast<BYTE*>(data.data()),
                                          static_cast<DWORD>(data.size()), &required)) {
      data.resize(required);
      return data;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    data.resize(required);
  }
  return {};
}

// The values of one of the device's keys (DIREG_DRV, DIREG_DEV); empty when it has none.
DisposableJson KeyValues(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD which, ValueNames names) {
  HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, which, KEY_READ);
  return ReadRegistryValues(RegistryKey(key == INVALID_HANDLE_VALUE ? nullptr : key), names);
}

std::string ClassDescription(const GUID& classGuid) {
  wchar_t text[LINE_LEN];
  if (!SetupDiGetClassDescriptionW(&classGuid, text, LINE_LEN, nullptr)) return {};
  return decode::Utf16ToUtf8(text);
}

template <class Visit>
void ForEachDevice(const DeviceSet& set, Visit visit) {
  if (!set.IsOpen()) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(set.get(), index, &device); ++index) visit(device);
}

}  // namespace

DisposableJson DeviceRow(HDEVINFO set, SP_DEVINFO_DATA& device, ValueNames driverValues,
                         ValueNames deviceValues) {
  DisposableJson row = nlohmann::json::object();
  for (const Property& property : kProperties) {
    DWORD type = REG_NONE;
    const std::string bytes = PropertyBytes(set, device, property.code, type);
    if (bytes.empty()) continue;
    if (type == REG_MULTI_SZ) {
      PutJson(row, property.name, TextsFromUtf16Bytes(bytes));
    } else {
      row[property.name] = TextFromUtf16Bytes(bytes);
    }
  }
  if (driverValues.size() != 0) {
    PutJson(row, "driver", KeyValues(set, device, DIREG_DRV, driverValues));
  }
  if (deviceValues.size() != 0) {
    PutJson(row, "device", KeyValues(set, device, DIREG_DEV, deviceValues));
  }
  return row;
}

DisposableJson ReadClassDevices(const GUID& classGuid, ValueNames driverValues,
                                ValueNames deviceValues) {
  DisposableJson rows = nlohmann::json::array();
  const DeviceSet set(SetupDiGetClassDevsW(&classGuid, nullptr, nullptr, DIGCF_PRESENT));
  ForEachDevice(set, [&](SP_DEVINFO_DATA& device) {
    rows.push_back(DeviceRow(set.get(), device, driverValues, deviceValues));
  });
  return rows;
}

DisposableJson ReadBusDevices(const wchar_t* enumerator) {
  DisposableJson rows = nlohmann::json::array();
  const DeviceSet set(
      SetupDiGetClassDevsW(nullptr, enumerator, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
  ForEachDevice(set, [&](SP_DEVINFO_DATA& device) {
    DisposableJson row = DeviceRow(set.get(), device, {}, {});
    if (std::string description = ClassDescription(device.ClassGuid); !description.empty()) {
      row["ClassDescription"] = std::move(description);
    }
    rows.push_back(std::move(row));
  });
  return rows;
}

DisposableJson DevicesRaw(DisposableJson&& rows) {
  DisposableJson raw = nlohmann::json::object();
  PutJson(raw, "devices", std::move(rows));
  return raw;
}

}  // namespace harnel::windows
