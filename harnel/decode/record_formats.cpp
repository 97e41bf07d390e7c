// Texts in the form both systems' readers give them: uptime, processor id, resolution, media.

#include "harnel/decode/record_formats.h"

#include <cstdio>

namespace harnel::decode {

std::string FormatUptime(std::int64_t seconds) {
  const std::int64_t days = seconds / 86400;
  char text[64];
  std::snprintf(text, sizeof text, "%lld %s %02d:%02d:%02d", static_cast<long long>(days),
                days == 1 ? "day" : "days", static_cast<int>(seconds % 86400 / 3600),
                static_cast<int>(seconds % 3600 / 60), static_cast<int>(seconds % 60));
  return text;
}

std::string FormatProcessorId(std::uint32_t edx, std::uint32_t eax) {
  char text[17];
  std::snprintf(text, sizeof text, "%08X%08X", static_cast<unsigned>(edx),
                static_cast<unsigned>(eax));
  return text;
}

std::string FormatResolution(int width, int height) {
  return std::to_string(width) + " * " + std::to_string(height);
}

std::string MediaTypeText(bool optical, bool removable) {
  if (optical) return "CD-ROM";
  if (removable) return "Removable media";
  return "Fixed\thard disk media";
}

}  // namespace harnel::decode
