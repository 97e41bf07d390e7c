// Splitting the SMBIOS table Windows hands out into its header and structures.

#include "harnel/windows/smbios_blob.h"

#include "harnel/decode/reasons.h"
#include "harnel/windows/raw_values.h"

namespace harnel::winprobe {
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

probe::SmbiosFacts ParseSmbiosBlob(std::string_view blob) {
  return probe::ParseSmbiosFacts(TableOf(blob));
}

probe::SmbiosIdentity ParseSmbiosIdentityBlob(std::string_view blob) {
  return probe::ParseSmbiosIdentity(TableOf(blob));
}

probe::SmbiosFacts SmbiosFactsOf(const nlohmann::json& raw) {
  return ParseSmbiosBlob(RawBytes(raw, "smbios"));
}

std::string WhyNoFirmware(const nlohmann::json& raw) {
  return RawBytes(raw, "smbios").empty() ? std::string(probe::kNoFirmwareTables)
                                         : "the firmware table gives none";
}

}  // namespace harnel::winprobe
