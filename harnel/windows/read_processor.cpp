// ProcessorInfo's sources: the registry's description of processor 0, CPUID, the caches and
// packages the system lists, and the SMBIOS table.

#include <windows.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include <vector>

#include "harnel/windows/read.h"
#include "harnel/windows/registry.h"

namespace harnel::windows {
namespace {

// What the system lists of the logical processors' caches and packages.
void ReadTopology(nlohmann::json& raw) {
  DWORD bytes = 0;
  GetLogicalProcessorInformation(nullptr, &bytes);
  std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> entries(
      bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
  if (entries.empty() || !GetLogicalProcessorInformation(entries.data(), &bytes)) return;
  entries.resize(bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
  DisposableJson caches = nlohmann::json::array();
  for (const SYSTEM_LOGICAL_PROCESSOR_INFORMATION& entry : entries) {
    if (entry.Relationship == RelationCache) {
      DisposableJson cache = nlohmann::json::object();
      cache["level"] = entry.Cache.Level;
      cache["type"] = static_cast<unsigned>(entry.Cache.Type);
      cache["size"] = entry.Cache.Size;
      cache["mask"] = static_cast<std::uint64_t>(entry.ProcessorMask);
      caches.push_back(std::move(cache));
    } else if (entry.Relationship == RelationProcessorPackage && !raw.contains("packageMask")) {
      raw["packageMask"] = static_cast<std::uint64_t>(entry.ProcessorMask);
    }
  }
  PutJson(raw, "caches", std::move(caches));
}

}  // namespace

DisposableJson ReadProcessor() {
  DisposableJson raw = ReadSmbios();
  PutJson(
      raw, "CentralProcessor",
      ReadRegistryValues(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                         {L"ProcessorNameString", L"VendorIdentifier", L"Identifier", L"~MHz"}));
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
    DisposableJson cpuid = nlohmann::json::object();
    cpuid["eax"] = eax;
    cpuid["edx"] = edx;
    cpuid["ecx"] = ecx;  // its top bit: running under a hypervisor
    PutJson(raw, "cpuid", std::move(cpuid));
  }
#endif
  ReadTopology(raw);
  return raw;
}

}  // namespace harnel::windows
