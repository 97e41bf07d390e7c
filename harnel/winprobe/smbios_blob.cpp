#include "harnel/winprobe/smbios_blob.h"

#include "harnel/probe/reasons.h"
#include "harnel/winprobe/raw_values.h"

namespace harnel::winprobe {
namespace {

constexpr std::size_t kHeaderLength = 8;
constexpr std::size_t kLengthOffset = 4;

}  // namespace

probe::SmbiosFacts ParseSmbiosBlob(std::string_view blob) {
  if (blob.size() < kHeaderLength) return {};
  std::size_t length = 0;
  for (std::size_t i = 4; i-- > 0;) {
    length = length << 8 | static_cast<unsigned char>(blob[kLengthOffset + i]);
  }
  return probe::ParseSmbiosFacts(blob.substr(kHeaderLength, length));
}

probe::SmbiosFacts SmbiosFactsOf(const nlohmann::json& raw) {
  return ParseSmbiosBlob(RawBytes(raw, "smbios"));
}

std::string WhyNoFirmware(const nlohmann::json& raw) {
  return RawBytes(raw, "smbios").empty() ? std::string(probe::kNoFirmwareTables)
                                         : "the firmware table gives none";
}

}  // namespace harnel::winprobe
