// Decoding EDID blocks: the display's identity, size and timings.

#include "harnel/decode/edid.h"

#include <algorithm>
#include <array>
#include <vector>

#include "harnel/decode/text_util.h"

namespace harnel::decode {
namespace {

constexpr std::size_t kBlockLength = 128;
constexpr std::string_view kHeader("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00", 8);
constexpr std::size_t kDescriptorOffsets[] = {54, 72, 90, 108};
constexpr std::size_t kDescriptorLength = 18;
constexpr std::uint8_t kNameTag = 0xFC;
constexpr std::uint8_t kTextTag = 0xFE;
constexpr std::size_t kTextLength = 13;      // the text of a descriptor, after its header
constexpr std::size_t kPanelPartLength = 5;  // a laptop panel's part number, then its revision
constexpr unsigned kInterlacedFlag = 0x80;   // in the last byte of a detailed timing

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
  if (Byte(d, 17) & kInterlacedFlag) {
    // The timing describes one field: the frame has twice its lines, and the rate counts
    // fields, as the kernel's does (1080i: 74.25 MHz over 2200 x 562 lines, 60 a second).
    mode.interlaced = true;
    mode.height *= 2;
  }
  return mode;
}

bool IsPrintable(unsigned byte) { return byte >= 0x20 && byte < 0x7F; }

// What follows text that ends without a line feed: spaces, NUL, 0xFF filler and the no-break
// space (0xA0) of the single-byte code pages.
bool IsPadding(unsigned byte) { return byte == ' ' || byte == 0 || byte == 0xFF || byte == 0xA0; }

// The text of a descriptor's thirteen bytes: up to the line feed, without the padding after it.
std::string_view DescriptorBody(std::string_view text) {
  text = text.substr(0, text.find('\n'));
  while (!text.empty() && IsPadding(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

std::string_view TextBytes(std::string_view d) { return d.substr(5, kTextLength); }

// A descriptor whose text has no line feed and whose last byte is a character is cut off there:
// the name goes on in the next name descriptor ("Apple Cinema HD Dis" + "play").
bool RunsOn(std::string_view d) {
  const std::string_view text = TextBytes(d);
  const unsigned last = static_cast<unsigned char>(text.back());
  return text.find('\n') == std::string_view::npos && IsPrintable(last) && last != ' ';
}

bool IsText(std::string_view body) {
  if (body.empty()) return false;
  for (char c : body) {
    if (!IsPrintable(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Name text with control bytes dropped ("LCD-42S" NUL "10HD" is "LCD-42S10HD"); nullopt when a
// byte above 0x7F says the bytes are binary or in a code page the EDID does not name (GBK).
std::optional<std::string> NameText(std::string_view body) {
  std::string name;
  for (char c : body) {
    const unsigned byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) return std::nullopt;
    if (IsPrintable(byte)) name.push_back(c);
  }
  return name;
}

// The name descriptors in order: text that fills a descriptor runs on into the next without a
// space; separate names are joined by one, a name the descriptors repeat written once (a
// descriptor that repeats the one before it is no continuation of it).
std::optional<std::string> ProductName(const std::vector<std::string_view>& descriptors) {
  std::vector<std::string> names;
  std::string pending;
  const auto finishName = [&] {
    const std::string_view name = Trim(pending);
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
      names.emplace_back(name);
    }
    pending.clear();
  };
  std::string_view previous;
  for (std::string_view d : descriptors) {
    const bool repeat = TextBytes(d) == previous;
    previous = TextBytes(d);
    std::optional<std::string> text = NameText(DescriptorBody(TextBytes(d)));
    if (!text || repeat) {
      finishName();
      continue;
    }
    pending += *text;
    if (!RunsOn(d)) finishName();
  }
  finishName();
  if (names.empty()) return std::nullopt;
  std::string joined = names.front();
  for (std::size_t i = 1; i < names.size(); ++i) joined += ' ' + names[i];
  return joined;
}

// Laptop panels in the layout most panel makers use carry no name: their first text descriptor
// holds the PC maker's five-character part number, a revision byte and the panel's model
// ("DW909" 0x80 "B133EW1"), and a second one, when there is one, binary values. The layout
// shows in that binary descriptor or in a revision byte that is no character.
std::optional<std::string> PanelModel(const std::vector<std::string_view>& descriptors) {
  if (descriptors.empty()) return std::nullopt;
  const std::string_view text = TextBytes(descriptors.front());
  const unsigned revision = static_cast<unsigned char>(text[kPanelPartLength]);
  const bool revisionByte =
      IsText(text.substr(0, kPanelPartLength)) && !IsPrintable(revision) && revision != '\n';
  const bool binaryAfter =
      std::any_of(descriptors.begin() + 1, descriptors.end(), [](std::string_view d) {
        const std::string_view body = DescriptorBody(TextBytes(d));
        return !body.empty() && !IsText(body);
      });
  if (!revisionByte && !binaryAfter) return std::nullopt;
  std::optional<std::string> model = NameText(DescriptorBody(text.substr(kPanelPartLength + 1)));
  if (!model || Trim(*model).empty()) return std::nullopt;
  return std::string(Trim(*model));
}

// Other displays without a name: the last text descriptor whose bytes are all text.
std::optional<std::string> FreeText(const std::vector<std::string_view>& descriptors) {
  for (auto d = descriptors.rbegin(); d != descriptors.rend(); ++d) {
    const std::string_view body = Trim(DescriptorBody(TextBytes(*d)));
    if (IsText(body)) return std::string(body);
  }
  return std::nullopt;
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
  std::vector<std::string_view> nameDescriptors, textDescriptors;
  for (std::size_t offset : kDescriptorOffsets) {
    const std::string_view d = block.substr(offset, kDescriptorLength);
    const bool display = Byte(d, 0) == 0 && Byte(d, 1) == 0;
    if (!display) {
      if (!edid.preferredMode) edid.preferredMode = DecodeDetailedTiming(d);
    } else if (Byte(d, 3) == kNameTag) {
      nameDescriptors.push_back(d);
    } else if (Byte(d, 3) == kTextTag) {
      textDescriptors.push_back(d);
    }
  }
  edid.name = ProductName(nameDescriptors);
  if (!edid.name) edid.name = PanelModel(textDescriptors);
  if (!edid.name) edid.name = FreeText(textDescriptors);
  return edid;
}

std::optional<std::string> PnpVendorName(std::string_view manufacturerId) {
  for (const PnpVendor& vendor : kPnpVendors) {
    if (vendor.id == manufacturerId) return std::string(vendor.name);
  }
  return std::nullopt;
}

}  // namespace harnel::decode
