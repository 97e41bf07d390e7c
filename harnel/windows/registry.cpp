// Reading the registry values a reader names into raw values.

#include "harnel/windows/registry.h"

#include "harnel/decode/utf16.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

// Longest key name the registry allows, with its NUL.
constexpr DWORD kMaxKeyName = 256;

// The value's type and bytes; false when it does not exist. The value may grow between the
// size query and the read, so the read is retried with the new size.
bool QueryValue(HKEY key, const wchar_t* name, DWORD& type, std::string& data) {
  DWORD size = 0;
  LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
  for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
    data.resize(size);
    DWORD got = size;
    status =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (status == ERROR_SUCCESS) {
      data.resize(got);
      return true;
    }
    if (status == ERROR_MORE_DATA) {
      size = got;
      status = ERROR_SUCCESS;
    }
  }
  return false;
}

DisposableJson RawValue(DWORD type, const std::string& data) {
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      return nlohmann::json(TextFromUtf16Bytes(data));
    case REG_MULTI_SZ:
      return TextsFromUtf16Bytes(data);
    case REG_DWORD:
      if (data.size() == sizeof(DWORD)) {
        return nlohmann::json(*reinterpret_cast<const DWORD*>(data.data()));
      }
      break;
    case REG_QWORD:
      if (data.size() == sizeof(ULONGLONG)) {
        return nlohmann::json(*reinterpret_cast<const ULONGLONG*>(data.data()));
      }
      break;
    default:
      break;
  }
  return BytesValue(data);
}

}  // namespace

HKEY OpenRegistryKey(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  return RegOpenKeyExW(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS ? key : nullptr;
}

DisposableJson ReadRegistryValues(const RegistryKey& key, ValueNames names) {
  DisposableJson values = nlohmann::json::object();
  if (!key.IsOpen()) return values;
  std::string data;
  for (const wchar_t* name : names) {
    DWORD type = REG_NONE;
    if (QueryValue(key.get(), name, type, data)) {
      PutJson(values, decode::Utf16ToUtf8(name), RawValue(type, data));
    }
  }
  return values;
}

DisposableJson ReadRegistryValues(HKEY root, const wchar_t* path, ValueNames names) {
  return ReadRegistryValues(RegistryKey(OpenRegistryKey(root, path)), names);
}

std::vector<std::wstring> ListSubkeys(const RegistryKey& key) {
  std::vector<std::wstring> names;
  if (!key.IsOpen()) return names;
  wchar_t name[kMaxKeyName];
  for (DWORD index = 0;; ++index) {
    DWORD length = kMaxKeyName;
    const LSTATUS status =
        RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    // A name too long for the registry's own limit cannot be; any other failure ends the list.
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

}  // namespace harnel::windows
