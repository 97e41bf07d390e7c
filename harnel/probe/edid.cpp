#include "harnel/probe/edid.h"

#include <array>

#include "harnel/probe/text_util.h"

namespace harnel::probe {
namespace {

constexpr std::size_t kBlockLength = 128;
constexpr std::string_view kHeader("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00", 8);
constexpr std::size_t kDescriptorOffsets[] = {54, 72, 90, 108};
constexpr std::size_t kDescriptorLength = 18;
constexpr std::uint8_t kNameTag = 0xFC;
constexpr std::uint8_t kTextTag = 0xFE;

struct PnpVendor {
  std::string_view id, name;
};
// The display makers most often met; others keep their PNP ID.
constexpr std::array<PnpVendor, 27> kPnpVendors = {{
    {"ACR", "Acer"},    {"AOC", "AOC"},        {"APP", "Apple"},     {"AUO", "AU Optronics"},
    {"AUS", "ASUS"},    {"BNQ", "BenQ"},       {"BOE", "BOE"},       {"CMN", "Chimei Innolux"},
    {"DEL", "Dell"},    {"ENC", "EIZO"},       {"GBT", "Gigabyte"},  {"GSM", "LG Electronics"},
    {"HPN", "HP"},      {"HSD", "HannStar"},   {"HWP", "HP"},        {"IVM", "Iiyama"},
    {"LEN", "Lenovo"},  {"LGD", "LG Display"}, {"MSI", "MSI"},       {"NEC", "NEC"},
    {"PHL", "Philips"}, {"RHT", "Red Hat"},    {"SAM", "Samsung"},   {"SDC", "Samsung Display"},
    {"SHP", "Sharp"},   {"SNY", "Sony"},       {"VSC", "ViewSonic"},
}};

unsigned Byte(std::string_view block, std::size_t offset) {
  return static_cast<unsigned char>(block[offset]);
}

std::string DecodeManufacturerId(unsigned word) {
  std::string id;
  for (int shift : {10, 5, 0}) {
    const unsigned letter = (word >> shift) & 0x1F;
    id.push_back(letter >= 1 && letter <= 26 ? static_cast<char>('A' + letter - 1) : '?');
  }
  return id;
}

std::optional<DisplayMode> DecodeDetailedTiming(std::string_view d) {
  const unsigned pixelClock10kHz = Byte(d, 0) | Byte(d, 1) << 8;
  if (pixelClock10kHz == 0) return std::nullopt;
  const unsigned hActive = Byte(d, 2) | (Byte(d, 4) >> 4) << 8;
  const unsigned hBlank = Byte(d, 3) | (Byte(d, 4) & 0x0F) << 8;
  const unsigned vActive = Byte(d, 5) | (Byte(d, 7) >> 4) << 8;
  const unsigned vBlank = Byte(d, 6) | (Byte(d, 7) & 0x0F) << 8;
  const unsigned long total = static_cast<unsigned long>(hActive + hBlank) * (vActive + vBlank);
  if (hActive == 0 || vActive == 0 || total == 0) return std::nullopt;
  DisplayMode mode;
  mode.width = static_cast<int>(hActive);
  mode.height = static_cast<int>(vActive);
  // Rounded to whole hertz: 148.5 MHz over 2200 x 1125 is 60 Hz.
  mode.refreshHz = static_cast<int>((pixelClock10kHz * 10000UL + total / 2) / total);
  return mode;
}

// Descriptor text ends at a line feed and is padded with spaces.
std::string DescriptorText(std::string_view d) {
  std::string_view text = d.substr(5, 13);
  text = text.substr(0, text.find('\n'));
  return std::string(Trim(text));
}

}  // namespace

std::optional<Edid> ParseEdid(std::string_view bytes) {
  if (bytes.size() < kBlockLength || bytes.substr(0, kHeader.size()) != kHeader) {
    return std::nullopt;
  }
  const std::string_view block = bytes.substr(0, kBlockLength);
  Edid edid;
  edid.manufacturerId = DecodeManufacturerId(Byte(block, 8) << 8 | Byte(block, 9));
  edid.productCode = static_cast<std::uint16_t>(Byte(block, 10) | Byte(block, 11) << 8);
  edid.digital = (Byte(block, 20) & 0x80) != 0;
  edid.widthCm = static_cast<int>(Byte(block, 21));
  edid.heightCm = static_cast<int>(Byte(block, 22));
  std::string panelText;
  for (std::size_t offset : kDescriptorOffsets) {
    const std::string_view d = block.substr(offset, kDescriptorLength);
    const bool display = Byte(d, 0) == 0 && Byte(d, 1) == 0;
    if (!display) {
      if (!edid.preferredMode) edid.preferredMode = DecodeDetailedTiming(d);
    } else if (Byte(d, 3) == kNameTag) {
      std::string name = DescriptorText(d);
      if (!name.empty()) edid.name = std::move(name);
    } else if (Byte(d, 3) == kTextTag) {
      std::string text = DescriptorText(d);
      if (!text.empty()) panelText = std::move(text);
    }
  }
  // Laptop panels carry no name; their last free-text descriptor holds the panel model.
  if (!edid.name && !panelText.empty()) edid.name = std::move(panelText);
  return edid;
}

std::optional<std::string> PnpVendorName(std::string_view manufacturerId) {
  for (const PnpVendor& vendor : kPnpVendors) {
    if (vendor.id == manufacturerId) return std::string(vendor.name);
  }
  return std::nullopt;
}

}  // namespace harnel::probe
