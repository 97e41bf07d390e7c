// The UserInfo reader on Linux: who is logged on, who was before, and the domain.

#include "harnel/linux/userinfo.h"

#include <utmp.h>

#include <cstring>

#include "harnel/decode/put_fields.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kUtmpPaths[] = {"/run/utmp", "/var/run/utmp"};
constexpr std::string_view kWtmpPath = "/var/log/wtmp";
constexpr std::string_view kDomainNamePath = "/proc/sys/kernel/domainname";
constexpr std::string_view kResolvConfPath = "/etc/resolv.conf";
// wtmp grows without bound on long-lived machines; its tail holds the logons that matter.
constexpr std::size_t kWtmpTailBytes = sizeof(struct utmp) * 4096;
// utmp holds one record per terminal line; this is far beyond any real one.
constexpr std::size_t kUtmpBytes = sizeof(struct utmp) * 65536;

std::vector<Logon> ReadLogons(const std::filesystem::path& root, std::string_view path,
                              std::size_t tail, SourceFact& fact) {
  std::optional<std::string> bytes =
      ReadMachineFileTail(root, path, tail, sizeof(struct utmp), &fact);
  return bytes ? ParseUtmpLogons(*bytes) : std::vector<Logon>{};
}

std::optional<Logon> Latest(const std::vector<Logon>& logons) {
  std::optional<Logon> latest;
  for (const Logon& logon : logons) {
    if (!latest || logon.time >= latest->time) latest = logon;
  }
  return latest;
}

std::optional<std::string> DomainName(const std::filesystem::path& root, SourceFact& resolvConf) {
  // The kernel's NIS domain reads "(none)" when unset.
  std::optional<std::string> nis = ReadMachineText(root, kDomainNamePath);
  if (nis && *nis != "(none)") return nis;
  std::optional<std::string> resolv = ReadMachineFile(root, kResolvConfPath, 1 << 16, &resolvConf);
  return resolv ? ParseResolvDomain(*resolv) : std::nullopt;
}

}  // namespace

std::vector<Logon> ParseUtmpLogons(std::string_view bytes) {
  std::vector<Logon> logons;
  for (std::size_t pos = 0; pos + sizeof(struct utmp) <= bytes.size(); pos += sizeof(struct utmp)) {
    struct utmp entry;
    std::memcpy(&entry, bytes.data() + pos, sizeof entry);
    if (entry.ut_type != USER_PROCESS) continue;
    const std::size_t length = strnlen(entry.ut_user, sizeof entry.ut_user);
    if (length == 0) continue;
    logons.push_back({std::string(entry.ut_user, length), entry.ut_tv.tv_sec});
  }
  return logons;
}

std::optional<std::string> ParseResolvDomain(std::string_view text) {
  std::optional<std::string> search;
  for (std::string_view line : decode::SplitLines(text)) {
    std::vector<std::string_view> words = decode::SplitWords(line);
    if (words.size() < 2) continue;
    if (words[0] == "domain") return std::string(words[1]);
    if (words[0] == "search" && !search) search = std::string(words[1]);
  }
  return search;
}

nlohmann::json ProbeUserinfo(const std::filesystem::path& root, UserinfoFacts& facts) {
  std::vector<Logon> sessions;
  for (std::string_view path : kUtmpPaths) {
    SourceFact tried;
    sessions = ReadLogons(root, path, kUtmpBytes, tried);
    facts.utmp.Candidate(std::move(tried));
    if (!sessions.empty()) break;
  }
  const std::optional<Logon> current = Latest(sessions);

  // The previous logon: the latest one in the history that began before the current session.
  std::optional<Logon> previous;
  for (const Logon& logon : ReadLogons(root, kWtmpPath, kWtmpTailBytes, facts.wtmp)) {
    if (current && logon.time >= current->time) continue;
    if (!previous || logon.time >= previous->time) previous = logon;
  }

  DisposableJson record = nlohmann::json::object();
  if (current) decode::PutText(record, "currentUser", current->user);
  if (previous) decode::PutText(record, "lastUser", previous->user);
  decode::PutText(record, "domainName", DomainName(root, facts.resolvConf));
  return decode::RecordOrNull(std::move(record));
}

void ExplainUserinfo(const UserinfoFacts& facts, findings::Reasons& why) {
  // A file that reads well but names nobody: no one is logged on, or was before.
  const auto readWell = [](const SourceFact& file) { return file.error == 0 && !file.blank; };
  why.Field("currentUser", readWell(facts.utmp) ? "nobody is logged on" : WhyUnread(facts.utmp));
  why.Field("lastUser", readWell(facts.wtmp) ? "no earlier logon in " + facts.wtmp.path
                                             : WhyUnread(facts.wtmp));
  const std::string& resolv = facts.resolvConf.path;
  why.Field("domainName",
            "no domain name: no NIS domain, and " +
                (facts.resolvConf.Missing() ? "no " + resolv : resolv + " names none"));
}

}  // namespace harnel::linux
