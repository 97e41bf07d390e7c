// Splitting the SMBIOS table Windows hands out into its header and structures.

#include "harnel/windows/smbios_blob.h"

#include "harnel/findings/reasons.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

constexpr std::size_t kHeaderLength = 8;
constexpr std::size_t kLengthOffset = 4;

// The structures after the header; empty for a blob too short for it.
std::string_view TableOf(std::string_view blob) {
  if (blob.size() < kHeaderLength) return {};
  std::size_t length = 0;
  for (std::size_t i = 4; i-- > 0;) {
    length = length << 8 | static_cast<unsigned char>(blob[kLengthOffset + i]);
  }
  return blob.substr(kHeaderLength, length);
}

}  // namespace

decode::SmbiosFacts ParseSmbiosBlob(std::string_view blob) {
  return decode::ParseSmbiosFacts(TableOf(blob));
}

decode::SmbiosIdentity ParseSmbiosIdentityBlob(std::string_view blob) {
  return decode::ParseSmbiosIdentity(TableOf(blob));
}

decode::SmbiosFacts SmbiosFactsOf(const nlohmann::json& raw) {
  return ParseSmbiosBlob(RawBytes(raw, "smbios"));
}

std::string WhyNoFirmware(const nlohmann::json& raw) {
  return RawBytes(raw, "smbios").empty() ? std::string(findings::kNoFirmwareTables)
                                         : "the firmware table gives none";
}

void ExplainFirmwareRecord(const nlohmann::json& raw, findings::Reasons& why) {
  why.Absent(WhyNoFirmware(raw));
  why.Otherwise("the firmware table gives none");
}

}  // namespace harnel::windows
