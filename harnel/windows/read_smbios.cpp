// The SMBIOS table, as the firmware-table call hands it to any user.

#include <windows.h>

#include <string>

#include "harnel/windows/raw_values.h"
#include "harnel/windows/read.h"

namespace harnel::windows {
namespace {

constexpr DWORD kRawSmbiosProvider = 0x52534D42;  // 'RSMB'

}  // namespace

DisposableJson ReadSmbios() {
  DisposableJson raw = nlohmann::json::object();
  const UINT size = GetSystemFirmwareTable(kRawSmbiosProvider, 0, nullptr, 0);
  if (size == 0) return raw;
  std::string blob(size, '\0');
  const UINT got = GetSystemFirmwareTable(kRawSmbiosProvider, 0, blob.data(), size);
  if (got == 0 || got > size) return raw;
  blob.resize(got);
  PutJson(raw, "smbios", BytesValue(blob));
  return raw;
}

}  // namespace harnel::windows
