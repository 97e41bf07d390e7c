// MemoryInfo from the system's memory status.

#include "harnel/decode/put_fields.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

std::optional<std::int64_t> ToMB(std::optional<std::uint64_t> bytes) {
  if (!bytes) return std::nullopt;
  return static_cast<std::int64_t>(*bytes >> 20);
}

}  // namespace

nlohmann::json ParseMemory(const nlohmann::json& raw) {
  const std::optional<std::uint64_t> physical = RawNumber(raw, "totalPhys");
  const std::optional<std::uint64_t> commitLimit = RawNumber(raw, "totalPageFile");
  // The commit limit is the physical memory plus the paging files: what is beyond the
  // physical memory is the paging files' size, as the operating-system class counts it.
  std::optional<std::uint64_t> pageFiles;
  if (physical && commitLimit) pageFiles = *commitLimit > *physical ? *commitLimit - *physical : 0;
  DisposableJson record = nlohmann::json::object();
  decode::PutInt(record, "totalPhysicalMB", ToMB(physical));
  decode::PutInt(record, "totalPageFileMB", ToMB(pageFiles));
  return decode::RecordOrNull(std::move(record));
}

void ExplainMemory(const nlohmann::json& raw, findings::Reasons& why) {
  if (RawNumber(raw, "totalPhys")) why.Field("totalPageFileMB", "no paging file");
  why.Absent("the system's memory status gives no size");
}

}  // namespace harnel::windows
