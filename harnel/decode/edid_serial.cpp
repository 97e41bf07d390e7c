// Decoding the serial number and week of manufacture an EDID base block gives.

#include "harnel/decode/edid_serial.h"

#include "harnel/decode/edid.h"
#include "harnel/decode/text_util.h"

namespace harnel::decode {
namespace {

constexpr std::size_t kDescriptorOffsets[] = {54, 72, 90, 108};
constexpr unsigned kSerialTag = 0xFF;
constexpr int kFirstYear = 1990;  // byte 17 counts years from it

unsigned Byte(std::string_view block, std::size_t offset) {
  return static_cast<unsigned char>(block[offset]);
}

// A display descriptor's text: 13 bytes, ended by a line feed, padded with spaces.
std::optional<std::string> SerialDescriptor(std::string_view block) {
  for (std::size_t offset : kDescriptorOffsets) {
    const std::string_view d = block.substr(offset, 18);
    if (Byte(d, 0) != 0 || Byte(d, 1) != 0 || Byte(d, 3) != kSerialTag) continue;
    std::string_view text = d.substr(5, 13);
    text = Trim(text.substr(0, text.find('\n')));
    if (!text.empty()) return std::string(text);
  }
  return std::nullopt;
}

}  // namespace

std::optional<EdidUnit> ParseEdidUnit(std::string_view bytes) {
  // The base block's header and length are checked as for the display's name.
  if (!ParseEdid(bytes)) return std::nullopt;
  EdidUnit unit;
  unit.serial = SerialDescriptor(bytes);
  const unsigned number =
      Byte(bytes, 12) | Byte(bytes, 13) << 8 | Byte(bytes, 14) << 16 | Byte(bytes, 15) << 24;
  if (!unit.serial && number != 0) unit.serial = std::to_string(number);
  const unsigned week = Byte(bytes, 16);
  if (week >= 1 && week <= 54) unit.week = static_cast<int>(week);
  // With week 0xFF the year is the model year; a year byte of 0 is left unset by makers.
  if (Byte(bytes, 17) != 0) unit.year = kFirstYear + static_cast<int>(Byte(bytes, 17));
  return unit;
}

}  // namespace harnel::decode
