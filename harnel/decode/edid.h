#pragma once
// EDID blocks, the identity and timings a display reports about itself.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace harnel::decode {

// A display mode. An interlaced mode counts the lines of its whole frame and the rate of its
// fields, as the kernel does ("1920x1080i" at 60 Hz).
struct DisplayMode {
  int width = 0, height = 0, refreshHz = 0;
  bool interlaced = false;
};

// What the base EDID block says about a display.
struct Edid {
  std::string manufacturerId;  // the three-letter PNP ID, "DEL"
  std::uint16_t productCode = 0;
  // The product name, else a laptop panel's model or free text: printable ASCII only.
  std::optional<std::string> name;
  std::optional<DisplayMode> preferredMode;  // the first detailed timing
  int widthCm = 0, heightCm = 0;
  bool digital = false;
};

// Parses the first 128 bytes of `bytes`; nullopt when they are no EDID base block.
std::optional<Edid> ParseEdid(std::string_view bytes);

// The company behind a PNP ID ("DEL" gives "Dell"), nullopt when not in the provider's table.
std::optional<std::string> PnpVendorName(std::string_view manufacturerId);

}  // namespace harnel::decode
