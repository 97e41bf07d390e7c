#pragma once
// MemoryInfo: installed memory and swap.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The two /proc/meminfo totals the record uses, in KB.
struct MemInfo {
  std::optional<std::int64_t> memTotalKB, swapTotalKB;
};

// Parses /proc/meminfo text ("MemTotal:       16318412 kB").
MemInfo ParseMemInfo(std::string_view text);

// The Memory record of the machine under `root`; `memInfo` notes the read of /proc/meminfo.
nlohmann::json ProbeMemory(const std::filesystem::path& root, SourceFact& memInfo);

// Why the Memory record is empty where it is, from what ProbeMemory found.
void ExplainMemory(const SourceFact& memInfo, findings::Reasons& why);

}  // namespace harnel::linux
