// PrinterNode's sources: the spooler's own registry of the machine's printers and the user's
// printer connections. The spooler is not asked: a call to it waits as long as the service
// takes, and the service can hang.

#include <windows.h>

#include "harnel/decode/utf16.h"
#include "harnel/windows/read.h"
#include "harnel/windows/registry.h"

namespace harnel::windows {
namespace {

// One row per subkey of `path`: its name as "key", and its values `names`.
DisposableJson SubkeyRows(HKEY root, const wchar_t* path, ValueNames names) {
  DisposableJson rows = nlohmann::json::array();
  const RegistryKey parent(OpenRegistryKey(root, path));
  for (const std::wstring& name : ListSubkeys(parent)) {
    DisposableJson row = ReadRegistryValues(parent.get(), name.c_str(), names);
    row["key"] = decode::Utf16ToUtf8(name);
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace

DisposableJson ReadPrinterList() {
  DisposableJson raw = nlohmann::json::object();
  PutJson(raw, "printers",
          SubkeyRows(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers",
                     {L"Name", L"Printer Driver", L"Port"}));
  PutJson(raw, "connections", SubkeyRows(HKEY_CURRENT_USER, L"Printers\\Connections", {}));
  return raw;
}

}  // namespace harnel::windows
