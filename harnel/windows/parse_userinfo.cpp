// UserInfo from the sessions of the machine, the logon screen's memory of the last user and the
// computer's DNS domain.

#include "harnel/decode/put_fields.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

constexpr std::uint64_t kActiveSession = 0;  // WTS_CONNECTSTATE_CLASS WTSActive

// "DOMAIN\user", as the computer-system class names the logged-on user.
std::optional<std::string> Qualified(const std::optional<std::string>& domain,
                                     const std::optional<std::string>& user) {
  if (!user) return std::nullopt;
  return domain ? *domain + "\\" + *user : *user;
}

// The user of the console session, else of the first active session that has one.
std::optional<std::string> CurrentUser(const nlohmann::json& sessions) {
  std::optional<std::string> active;
  for (const nlohmann::json& session : sessions) {
    std::optional<std::string> user =
        Qualified(RawText(session, "domain"), RawText(session, "user"));
    if (!user) continue;
    if (RawFlag(session, "console")) return user;
    if (!active && RawNumber(session, "state") == kActiveSession) active = user;
  }
  return active;
}

// The logon screen keeps the last user who logged on; older systems kept the default name
// that Winlogon offers.
std::optional<std::string> LastUser(const nlohmann::json& raw) {
  const nlohmann::json& logonUi = RawObject(raw, "LogonUI");
  if (auto user = RawText(logonUi, "LastLoggedOnSAMUser")) return user;
  if (auto user = RawText(logonUi, "LastLoggedOnUser")) return user;
  const nlohmann::json& winlogon = RawObject(raw, "Winlogon");
  return Qualified(RawText(winlogon, "DefaultDomainName"), RawText(winlogon, "DefaultUserName"));
}

}  // namespace

nlohmann::json ParseUserinfo(const nlohmann::json& raw) {
  DisposableJson record = nlohmann::json::object();
  decode::PutText(record, "currentUser", CurrentUser(RawRows(raw, "sessions")));
  decode::PutText(record, "lastUser", LastUser(raw));
  decode::PutText(record, "domainName", RawText(raw, "dnsDomain"));
  return decode::RecordOrNull(std::move(record));
}

void ExplainUserinfo(const nlohmann::json& raw, findings::Reasons& why) {
  why.Field("currentUser", RawRows(raw, "sessions").empty() ? "no session" : "nobody is logged on");
  why.Field("lastUser", "no last logged-on user in the registry (LogonUI or Winlogon)");
  why.Field("domainName", "the machine has no DNS domain");
}

}  // namespace harnel::windows
