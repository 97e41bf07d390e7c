#pragma once
// Reading the registry into raw values (raw_values.h): only the values a reader names, so
// that nothing else a key holds (product keys, secrets) ends up in a record or a capture.

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "harnel/disposable_json.h"
#include "harnel/windows/unique_handle.h"

namespace harnel::windows {

// The names of the values a reader wants from a key.
using ValueNames = std::initializer_list<const wchar_t*>;

struct RegistryKeyTraits {
  using Handle = HKEY;
  static bool IsValid(HKEY key) { return key != nullptr; }
  static void Release(HKEY key) { RegCloseKey(key); }
};
// An open registry key (null: none), closed when it goes.
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

// The key at `path` under `root`, open for reading; null when it is missing or denied.
HKEY OpenRegistryKey(HKEY root, const wchar_t* path);

// The values `names` of the key, those that exist: REG_SZ and REG_EXPAND_SZ as text (not
// expanded), REG_DWORD and REG_QWORD as numbers, REG_MULTI_SZ as an array of texts, anything
// else as bytes. An empty object when the key is not open.
DisposableJson ReadRegistryValues(const RegistryKey& key, ValueNames names);

// The same for the key at `path` under `root`.
DisposableJson ReadRegistryValues(HKEY root, const wchar_t* path, ValueNames names);

// The names of the key's subkeys; empty when it is not open.
std::vector<std::wstring> ListSubkeys(const RegistryKey& key);

}  // namespace harnel::windows
