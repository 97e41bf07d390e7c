// UserInfo's sources: the sessions (the session manager, a part of the system that always
// runs), the logon screen's and Winlogon's registry values, and the computer's DNS domain.

#include <windows.h>

#include <wtsapi32.h>

#include <memory>
#include <optional>
#include <string>

#include "harnel/decode/utf16.h"
#include "harnel/windows/read.h"
#include "harnel/windows/registry.h"

namespace harnel::windows {
namespace {

// What the console session number is while no session is attached to the console.
constexpr DWORD kNoSession = 0xFFFFFFFF;

struct WtsMemoryFree {
  void operator()(void* memory) const noexcept { WTSFreeMemory(memory); }
};
template <class T>
using WtsMemory = std::unique_ptr<T, WtsMemoryFree>;

std::optional<std::string> SessionText(DWORD session, WTS_INFO_CLASS what) {
  wchar_t* raw = nullptr;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, what, &raw, &bytes)) {
    return std::nullopt;
  }
  const WtsMemory<wchar_t> text(raw);
  if (text == nullptr || text.get()[0] == 0) return std::nullopt;
  return decode::Utf16ToUtf8(text.get());
}

// A session's row: its user and the user's domain where it has a user.
DisposableJson SessionRow(DWORD session) {
  DisposableJson row = nlohmann::json::object();
  row["id"] = session;
  if (auto user = SessionText(session, WTSUserName)) row["user"] = *user;
  if (auto domain = SessionText(session, WTSDomainName)) row["domain"] = *domain;
  return row;
}

// The console session first (asked for by its number, since not every system lists it), then
// every other session with its connection state.
DisposableJson Sessions() {
  DisposableJson rows = nlohmann::json::array();
  const DWORD console = WTSGetActiveConsoleSessionId();
  if (console != kNoSession) {
    rows.push_back(SessionRow(console));
    rows.back()["console"] = true;
  }
  WTS_SESSION_INFOW* raw = nullptr;
  DWORD count = 0;
  if (!WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &raw, &count)) return rows;
  const WtsMemory<WTS_SESSION_INFOW> sessions(raw);
  for (DWORD i = 0; sessions != nullptr && i < count; ++i) {
    const WTS_SESSION_INFOW& session = sessions.get()[i];
    if (session.SessionId == console) continue;
    rows.push_back(SessionRow(session.SessionId));
    rows.back()["state"] = static_cast<unsigned>(session.State);
  }
  return rows;
}

std::optional<std::string> DnsDomain() {
  wchar_t name[256];
  DWORD length = 256;
  if (!GetComputerNameExW(ComputerNameDnsDomain, name, &length) || length == 0) {
    return std::nullopt;
  }
  return decode::Utf16ToUtf8(WStringView(name, length));
}

}  // namespace

DisposableJson ReadUserinfo() {
  DisposableJson raw = nlohmann::json::object();
  PutJson(raw, "sessions", Sessions());
  PutJson(
      raw, "LogonUI",
      ReadRegistryValues(HKEY_LOCAL_MACHINE,
                         L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Authentication\\LogonUI",
                         {L"LastLoggedOnSAMUser", L"LastLoggedOnUser"}));
  PutJson(raw, "Winlogon",
          ReadRegistryValues(HKEY_LOCAL_MACHINE,
                             L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                             {L"DefaultUserName", L"DefaultDomainName"}));
  if (auto domain = DnsDomain()) raw["dnsDomain"] = *domain;
  return raw;
}

}  // namespace harnel::windows
