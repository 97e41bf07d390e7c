#pragma once
// ProcessorInfo: the first processor package.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/dmi_id.h"

namespace harnel::linux {

// What /proc/cpuinfo says about the first processor.
struct CpuInfo {
  std::optional<std::string> modelName, vendorId;
  std::optional<std::int64_t> family, model, stepping, mhz;
  bool longMode = false;  // the "lm" flag: a 64-bit x86 processor
};

// Parses /proc/cpuinfo text; only the first processor's block is read.
CpuInfo ParseCpuInfo(std::string_view text);

// "AMD64 Family 25 Model 33 Stepping 0", as Windows describes x86 processors; nullopt
// without family, model and stepping.
std::optional<std::string> DescribeProcessor(const CpuInfo& cpu);

// A cache size attribute ("512K", "8M") in KB.
std::optional<std::int64_t> ParseCacheSizeKB(std::string_view text);

// What ProbeProcessor found at its sources.
struct ProcessorFacts {
  SourceFact cpuInfo, cacheFolder;
  FirmwareFacts firmware;
  bool live = false;  // the root is the running machine's, which CPUID describes
};

// The Processor record of the machine under `root`.
nlohmann::json ProbeProcessor(const std::filesystem::path& root, ProcessorFacts& facts);

// Why the Processor record is empty where it is, from what ProbeProcessor found.
void ExplainProcessor(const ProcessorFacts& facts, findings::Reasons& why);

}  // namespace harnel::linux
