#pragma once
// OSInfo: the operating system and the computer's identity.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The fields of an os-release file the record uses, quotes and escapes removed.
struct OsRelease {
  std::optional<std::string> prettyName, name, version;
};

// Parses os-release text (KEY=value lines, values optionally quoted).
OsRelease ParseOsRelease(std::string_view text);

// The whole seconds of the first number of /proc/uptime text.
std::optional<std::int64_t> ParseUptimeSeconds(std::string_view text);

// The sources of the OS record's fields as ProbeOS found them.
struct OSFacts {
  SourceFact osRelease, osType, kernelRelease, machineId, hostName, uptime;
};

// The OS record of the machine under `root`.
nlohmann::json ProbeOS(const std::filesystem::path& root, OSFacts& facts);

// Why the OS record is empty where it is, from what ProbeOS found.
void ExplainOS(const OSFacts& facts, findings::Reasons& why);

}  // namespace harnel::linux
