// OSInfo's sources: the version key, the server's comment, the computer's NetBIOS name, the
// tick count and the processor architecture.

#include <windows.h>

#include "harnel/decode/utf16.h"
#include "harnel/windows/read.h"
#include "harnel/windows/registry.h"

namespace harnel::windows {

DisposableJson ReadOS() {
  DisposableJson raw = nlohmann::json::object();
  PutJson(
      raw, "CurrentVersion",
      ReadRegistryValues(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                         {L"ProductName", L"CurrentBuildNumber", L"CurrentVersion",
                          L"CurrentMajorVersionNumber", L"CurrentMinorVersionNumber", L"CSDVersion",
                          L"RegisteredOwner", L"RegisteredOrganization", L"ProductId"}));
  // The computer's description, which the operating-system class reports as its own.
  PutJson(raw, "LanmanServer",
          ReadRegistryValues(HKEY_LOCAL_MACHINE,
                             L"SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Parameters",
                             {L"srvcomment"}));
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  if (GetComputerNameW(name, &length))
    raw["computerName"] = decode::Utf16ToUtf8(WStringView(name, length));
  raw["tickCount64"] = GetTickCount64();
  SYSTEM_INFO system{};
  GetNativeSystemInfo(&system);
  raw["processorArchitecture"] = system.wProcessorArchitecture;
  return raw;
}

}  // namespace harnel::windows
