#include "cli/text_output.h"

#include "harnel/utf16.h"

namespace velmora::cli {
namespace {

bool IsWide(char32_t cp) {
  struct Range {
    char32_t first, last;
  };
  // The wide and full-width blocks that inventory text meets: Hangul Jamo, CJK symbols and
  // ideographs, Hangul syllables, compatibility ideographs, full-width forms, and the
  // supplementary ideograph planes.
  static constexpr Range kWide[] = {
      {0x1100, 0x115F}, {0x2E80, 0x303E},   {0x3041, 0x33FF},  {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},
      {0xA000, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},  {0xFE30, 0xFE4F}, {0xFF00, 0xFF60},
      {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x20000, 0x3FFFD}};
  for (const Range& range : kWide) {
    if (cp >= range.first && cp <= range.last) return true;
  }
  return false;
}

}  // namespace

std::string ToUtf8(WStringView text) { return harnel::Utf16ToUtf8(text); }

int DisplayWidth(WStringView text) {
  int width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    width += IsWide(cp) ? 2 : 1;
  }
  return width;
}

std::string Style::Heading(std::string_view text) const {
  return enabled ? "\x1b[1;36m" + std::string(text) + "\x1b[0m" : std::string(text);
}

std::string Style::Dim(std::string_view text) const {
  return enabled ? "\x1b[2m" + std::string(text) + "\x1b[0m" : std::string(text);
}

}  // namespace velmora::cli
