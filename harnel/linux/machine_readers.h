#pragma once
// The Linux readers of the Machine key's facts, one per object of the key. Each notes, in the
// facts it fills, every source that did not answer and how.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harnel/findings/machine_reading.h"

namespace harnel::linux {

// The trimmed text of `path` under `root`; nullopt, with how the file answered noted in `fact`,
// when there is none.
std::optional<std::string> ReadNoted(const std::filesystem::path& root, std::string_view path,
                                     findings::Fact& fact);

// Notes in `fact` how `path` under `root` answers, for a reader that has just failed to read it:
// empty, missing, readable by root only, or unreadable with the system's message.
void NoteUnread(const std::filesystem::path& root, std::string_view path, findings::Fact& fact);

// The processors' topology as /proc/cpuinfo gives it: distinct physical ids, and the cores and
// logical processors ("cpu cores", "siblings") of the first processor's package.
struct CpuTopology {
  std::optional<std::int64_t> packages, cores, threads;
  std::optional<bool> hypervisor;  // the "hypervisor" flag, when the flags are listed
};
CpuTopology ParseCpuTopology(std::string_view cpuinfo);

// /proc/cpuinfo read once for the system's and the processor's facts: its topology, and in
// `file` how the file answered when it could not be read.
struct CpuInfoRead {
  CpuTopology topology;
  findings::Fact file;
};
CpuInfoRead ReadCpuInfo(const std::filesystem::path& root);

findings::FactSet ReadSystemFacts(const std::filesystem::path& root, const CpuInfoRead& cpu);
findings::FactSet ReadProcessorFacts(const std::filesystem::path& root, const CpuInfoRead& cpu);
std::vector<findings::FactSet> ReadModuleFacts(const std::filesystem::path& root);
std::vector<findings::FactSet> ReadDiskFacts(const std::filesystem::path& root);
std::vector<findings::FactSet> ReadMonitorFacts(const std::filesystem::path& root);
std::vector<findings::FactSet> ReadAdapterFacts(const std::filesystem::path& root);

}  // namespace harnel::linux
