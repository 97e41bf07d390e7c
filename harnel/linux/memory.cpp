// The Memory reader on Linux: installed memory and swap from /proc/meminfo.

#include "harnel/linux/memory.h"

#include "harnel/decode/put_fields.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kMemInfoPath = "/proc/meminfo";

std::optional<std::int64_t> ToMB(std::optional<std::int64_t> kb) {
  if (!kb) return std::nullopt;
  return *kb / 1024;
}

}  // namespace

MemInfo ParseMemInfo(std::string_view text) {
  MemInfo info;
  for (std::string_view line : decode::SplitLines(text)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, colon);
    std::optional<std::uint64_t> kb = decode::ParseLeadingUnsigned(line.substr(colon + 1));
    if (!kb) continue;
    if (key == "MemTotal") info.memTotalKB = static_cast<std::int64_t>(*kb);
    if (key == "SwapTotal") info.swapTotalKB = static_cast<std::int64_t>(*kb);
  }
  return info;
}

nlohmann::json ProbeMemory(const std::filesystem::path& root, SourceFact& memInfo) {
  const std::optional<std::string> text =
      ReadMachineFile(root, kMemInfoPath, std::size_t{1} << 22, &memInfo);
  const MemInfo info = text ? ParseMemInfo(*text) : MemInfo{};
  DisposableJson record = nlohmann::json::object();
  decode::PutInt(record, "totalPhysicalMB", ToMB(info.memTotalKB));
  decode::PutInt(record, "totalPageFileMB", ToMB(info.swapTotalKB));
  return decode::RecordOrNull(std::move(record));
}

void ExplainMemory(const SourceFact& memInfo, findings::Reasons& why) {
  if (!memInfo.read) {
    why.Absent(WhyUnread(memInfo));
    return;
  }
  why.Field("totalPhysicalMB", memInfo.path + " gives no MemTotal");
  why.Field("totalPageFileMB", "no swap space");
}

}  // namespace harnel::linux
