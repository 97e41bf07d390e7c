// ProcessorInfo's sources: the registry's description of processor 0, CPUID, the caches and
// packages the system lists, and the SMBIOS table.

#include <windows.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include <vector>

#include "harnel/winprobe/read.h"
#include "harnel/winprobe/registry.h"

namespace harnel::winprobe {
namespace {

// What the system lists of the logical processors' caches and packages.
void ReadTopology(nlohmann::json& raw) {
  DWORD bytes = 0;
  GetLogicalProcessorInformation(nullptr, &bytes);
  std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> entries(
      bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
  if (entries.empty() || !GetLogicalProcessorInformation(entries.data(), &bytes)) return;
  entries.resize(bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
  nlohmann::json caches = nlohmann::json::array();
  for (const SYSTEM_LOGICAL_PROCESSOR_INFORMATION& entry : entries) {
    if (entry.Relationship == RelationCache) {
      caches.push_back({{"level", entry.Cache.Level},
                        {"type", static_cast<unsigned>(entry.Cache.Type)},
                        {"size", entry.Cache.Size},
                        {"mask", static_cast<std::uint64_t>(entry.ProcessorMask)}});
    } else if (entry.Relationship == RelationProcessorPackage && !raw.contains("packageMask")) {
      raw["packageMask"] = static_cast<std::uint64_t>(entry.ProcessorMask);
    }
  }
  raw["caches"] = std::move(caches);
}

}  // namespace

nlohmann::json ReadProcessor() {
  nlohmann::json raw = ReadSmbios();
  raw["CentralProcessor"] =
      ReadRegistryValues(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                         {L"ProcessorNameString", L"VendorIdentifier", L"Identifier", L"~MHz"});
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) raw["cpuid"] = {{"eax", eax}, {"edx", edx}};
#endif
  ReadTopology(raw);
  return raw;
}

}  // namespace harnel::winprobe
