#pragma once
// UserInfo: who is logged on, who was before, and the domain.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// One user logon of a utmp or wtmp file.
struct Logon {
  std::string user;
  std::int64_t time = 0;  // seconds since the epoch
};

// The user-process records (logons) of utmp/wtmp bytes in file order; a torn last record is
// ignored.
std::vector<Logon> ParseUtmpLogons(std::string_view bytes);

// The domain from resolv.conf text: its "domain" line, else the first "search" domain.
std::optional<std::string> ParseResolvDomain(std::string_view text);

// What ProbeUserinfo found at its sources.
struct UserinfoFacts {
  SourceFact utmp, wtmp, resolvConf;
};

// The Userinfo record of the machine under `root`.
nlohmann::json ProbeUserinfo(const std::filesystem::path& root, UserinfoFacts& facts);

// Why the Userinfo record is empty where it is, from what ProbeUserinfo found.
void ExplainUserinfo(const UserinfoFacts& facts, findings::Reasons& why);

}  // namespace harnel::linux
