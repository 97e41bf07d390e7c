#pragma once
// What an EDID base block says of the display's own unit: its serial number and when it was
// made. Apart from the display's name and timings (edid.h), which other readers change.

#include <optional>
#include <string>
#include <string_view>

namespace harnel::decode {

struct EdidUnit {
  // The serial text descriptor (tag 0xFF), else the 32-bit serial number in decimal; nullopt
  // when the block gives neither (a number of 0 is none).
  std::optional<std::string> serial;
  std::optional<int> week;  // 1 to 54; nullopt when unspecified or for a model year
  std::optional<int> year;  // the year of manufacture, or the model year
};

// Decodes the unit from the first 128 bytes of `bytes`; nullopt when they are no EDID base
// block.
std::optional<EdidUnit> ParseEdidUnit(std::string_view bytes);

}  // namespace harnel::decode
