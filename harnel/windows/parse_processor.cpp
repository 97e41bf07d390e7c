// ProcessorInfo from the registry's description of processor 0, CPUID, the caches the system
// lists and the SMBIOS processor structure.

#include "harnel/decode/put_fields.h"
#include "harnel/decode/record_formats.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"
#include "harnel/windows/smbios_blob.h"

namespace harnel::windows {
namespace {

constexpr std::uint64_t kInstructionCache = 1;  // PROCESSOR_CACHE_TYPE CacheInstruction

template <class T>
std::optional<T> Either(std::optional<T> first, std::optional<T> second) {
  return first ? first : second;
}

std::optional<std::string> CpuidProcessorId(const nlohmann::json& cpuid) {
  std::optional<std::uint64_t> edx = RawNumber(cpuid, "edx"), eax = RawNumber(cpuid, "eax");
  if (!edx || !eax) return std::nullopt;
  return decode::FormatProcessorId(static_cast<std::uint32_t>(*edx),
                                   static_cast<std::uint32_t>(*eax));
}

// As the processor class counts it: every second-level cache of the first package, in KB.
std::optional<std::int64_t> L2CacheKB(const nlohmann::json& raw) {
  const std::optional<std::uint64_t> package = RawNumber(raw, "packageMask");
  std::uint64_t bytes = 0;
  for (const nlohmann::json& cache : RawRows(raw, "caches")) {
    if (RawNumber(cache, "level") != 2u || RawNumber(cache, "type") == kInstructionCache) continue;
    if (package && (RawNumber(cache, "mask").value_or(0) & *package) == 0) continue;
    bytes += RawNumber(cache, "size").value_or(0);
  }
  if (bytes == 0) return std::nullopt;
  return static_cast<std::int64_t>(bytes / 1024);
}

std::optional<std::int64_t> Signed(std::optional<std::uint64_t> value) {
  if (!value) return std::nullopt;
  return static_cast<std::int64_t>(*value);
}

}  // namespace

nlohmann::json ParseProcessor(const nlohmann::json& raw) {
  const nlohmann::json& registry = RawObject(raw, "CentralProcessor");
  const decode::SmbiosProcessor socket =
      SmbiosFactsOf(raw).processor.value_or(decode::SmbiosProcessor{});
  DisposableJson record = nlohmann::json::object();
  decode::PutText(record, "name", Either(RawText(registry, "ProcessorNameString"), socket.version));
  decode::PutInt(record, "maxClockSpeed",
                 Either(Signed(RawNumber(registry, "~MHz")), socket.maxSpeedMHz));
  decode::PutText(record, "manufacturer",
                  Either(RawText(registry, "VendorIdentifier"), socket.manufacturer));
  decode::PutText(record, "processorId",
                  Either(CpuidProcessorId(RawObject(raw, "cpuid")), socket.processorId));
  decode::PutText(record, "description", RawText(registry, "Identifier"));
  decode::PutText(record, "slotName", socket.socket);
  decode::PutInt(record, "l2CacheKB", L2CacheKB(raw));
  return decode::RecordOrNull(std::move(record));
}

void ExplainProcessor(const nlohmann::json& raw, findings::Reasons& why) {
  why.Field("slotName", WhyNoFirmware(raw));
  why.Absent("no processor in the registry or the firmware table");
}

}  // namespace harnel::windows
