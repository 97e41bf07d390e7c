// The Processor reader on Linux: the first processor package from /proc/cpuinfo and sysfs.

#include "harnel/linux/processor.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "harnel/decode/put_fields.h"
#include "harnel/decode/record_formats.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/dmi_id.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kCpuInfoPath = "/proc/cpuinfo";
constexpr std::string_view kMaxFrequencyPath =
    "/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq";
constexpr std::string_view kCacheFolder = "/sys/devices/system/cpu/cpu0/cache";

std::optional<std::int64_t> AsInt(std::string_view text) {
  std::optional<std::uint64_t> value = decode::ParseLeadingUnsigned(text);
  if (!value) return std::nullopt;
  return static_cast<std::int64_t>(*value);
}

std::optional<std::int64_t> MaxClockSpeed(const std::filesystem::path& root, const CpuInfo& cpu,
                                          const decode::SmbiosFacts& facts) {
  if (auto khz = ReadMachineText(root, kMaxFrequencyPath)) {
    if (auto value = decode::ParseUnsigned(*khz); value && *value > 0) {
      return static_cast<std::int64_t>(*value / 1000);
    }
  }
  if (facts.processor && facts.processor->maxSpeedMHz) return facts.processor->maxSpeedMHz;
  return cpu.mhz;
}

std::optional<std::int64_t> L2CacheKB(const std::filesystem::path& root, SourceFact& caches) {
  for (const std::string& index : ListMachineDir(root, kCacheFolder, &caches)) {
    if (!decode::StartsWith(index, "index")) continue;
    const std::string folder = std::string(kCacheFolder) + "/" + index;
    if (ReadMachineText(root, folder + "/level") != "2") continue;
    if (ReadMachineText(root, folder + "/type") == "Instruction") continue;
    std::optional<std::string> size = ReadMachineText(root, folder + "/size");
    if (size) return ParseCacheSizeKB(*size);
  }
  return std::nullopt;
}

// The ID from CPUID leaf 1. Only the processor running this code can be asked, so only the
// live root gets it.
std::optional<std::string> CpuidProcessorId(const std::filesystem::path& root) {
#if defined(__x86_64__) || defined(__i386__)
  if (!IsLiveRoot(root)) return std::nullopt;
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return std::nullopt;
  return decode::FormatProcessorId(edx, eax);
#else
  (void)root;
  return std::nullopt;
#endif
}

}  // namespace

CpuInfo ParseCpuInfo(std::string_view text) {
  CpuInfo cpu;
  bool seenProcessor = false;
  for (std::string_view line : decode::SplitLines(text)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = decode::Trim(line.substr(0, colon));
    const std::string_view value = decode::Trim(line.substr(colon + 1));
    if (key == "processor") {
      if (seenProcessor) break;
      seenProcessor = true;
    } else if (key == "model name" && !value.empty()) {
      cpu.modelName = std::string(value);
    } else if (key == "vendor_id" && !value.empty()) {
      cpu.vendorId = std::string(value);
    } else if (key == "cpu family") {
      cpu.family = AsInt(value);
    } else if (key == "model") {
      cpu.model = AsInt(value);
    } else if (key == "stepping") {
      cpu.stepping = AsInt(value);
    } else if (key == "cpu MHz") {
      cpu.mhz = AsInt(value);
    } else if (key == "flags") {
      for (std::string_view flag : decode::SplitWords(value))
        cpu.longMode = cpu.longMode || flag == "lm";
    }
  }
  return cpu;
}

std::optional<std::string> DescribeProcessor(const CpuInfo& cpu) {
  if (!cpu.family || !cpu.model || !cpu.stepping) return std::nullopt;
  std::string architecture = cpu.longMode ? "x64" : "x86";
  if (cpu.longMode && cpu.vendorId == "GenuineIntel") architecture = "Intel64";
  if (cpu.longMode && cpu.vendorId == "AuthenticAMD") architecture = "AMD64";
  return architecture + " Family " + std::to_string(*cpu.family) + " Model " +
         std::to_string(*cpu.model) + " Stepping " + std::to_string(*cpu.stepping);
}

std::optional<std::int64_t> ParseCacheSizeKB(std::string_view text) {
  text = decode::Trim(text);
  std::int64_t scale = 1;
  if (!text.empty() && (text.back() == 'K' || text.back() == 'M')) {
    scale = text.back() == 'M' ? 1024 : 1;
    text.remove_suffix(1);
  }
  std::optional<std::uint64_t> value = decode::ParseUnsigned(text);
  if (!value) return std::nullopt;
  return static_cast<std::int64_t>(*value) * scale;
}

nlohmann::json ProbeProcessor(const std::filesystem::path& root, ProcessorFacts& sources) {
  const std::optional<std::string> cpuText =
      ReadMachineFile(root, kCpuInfoPath, std::size_t{1} << 22, &sources.cpuInfo);
  const CpuInfo cpu = cpuText ? ParseCpuInfo(*cpuText) : CpuInfo{};
  const decode::SmbiosFacts facts = ReadSmbiosFacts(root, &sources.firmware);
  const decode::SmbiosProcessor socket = facts.processor.value_or(decode::SmbiosProcessor{});
  sources.live = IsLiveRoot(root);

  DisposableJson record = nlohmann::json::object();
  decode::PutText(record, "name", cpu.modelName ? cpu.modelName : socket.version);
  decode::PutInt(record, "maxClockSpeed", MaxClockSpeed(root, cpu, facts));
  decode::PutText(record, "manufacturer", cpu.vendorId ? cpu.vendorId : socket.manufacturer);
  decode::PutText(record, "processorId",
                  socket.processorId ? socket.processorId : CpuidProcessorId(root));
  decode::PutText(record, "description", DescribeProcessor(cpu));
  decode::PutText(record, "slotName", socket.socket);
  decode::PutInt(record, "l2CacheKB", L2CacheKB(root, sources.cacheFolder));
  return decode::RecordOrNull(std::move(record));
}

void ExplainProcessor(const ProcessorFacts& facts, findings::Reasons& why) {
  const std::string table = WhyNoFirmwareTable(facts.firmware);
  // CPUID answers for the processor running this code, which is not the one of a root that
  // stands for another machine.
  why.Field("processorId",
            facts.live ? table : table + "; CPUID describes only the running machine");
  why.Field("slotName", table);
  why.Field("name", WhyNotIn(facts.cpuInfo, "model name"));
  why.Field("manufacturer", WhyNotIn(facts.cpuInfo, "vendor_id"));
  why.Field("description", WhyNotIn(facts.cpuInfo, "cpu family, model and stepping"));
  why.Field("maxClockSpeed", "no cpufreq maximum, firmware speed or cpu MHz");
  const std::string& cache = facts.cacheFolder.path;
  why.Field("l2CacheKB",
            facts.cacheFolder.Missing() ? "no " + cache : cache + " lists no level 2 data cache");
}

}  // namespace harnel::linux
