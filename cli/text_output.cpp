#include "cli/text_output.h"

#include "base/utf8.h"

namespace velmora::cli {

std::string OneLine(std::string message) {
  for (char& c : message) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!message.empty() && message.back() == ' ') message.pop_back();
  return message;
}
namespace {

bool IsWide(WChar unit) {
  struct Range {
    WChar first, last;
  };
  // The wide and full-width blocks of the Basic Multilingual Plane: Hangul Jamo, CJK symbols and
  // ideographs, Hangul syllables, compatibility ideographs, full-width forms.
  static constexpr Range kWide[] = {{0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF},
                                    {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xA000, 0xA4CF},
                                    {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F},
                                    {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}};
  for (const Range& range : kWide) {
    if (unit >= range.first && unit <= range.last) return true;
  }
  return false;
}

}  // namespace

std::string ToUtf8(WStringView text) { return unicode::Utf16ToUtf8(text); }

int DisplayWidth(WStringView text) {
  int width = 0;
  for (const WChar unit : text) width += IsWide(unit) ? 2 : 1;
  return width;
}

std::string Style::Heading(std::string_view text) const {
  return enabled ? "\x1b[1;36m" + std::string(text) + "\x1b[0m" : std::string(text);
}

std::string Style::Dim(std::string_view text) const {
  return enabled ? "\x1b[2m" + std::string(text) + "\x1b[0m" : std::string(text);
}

}  // namespace velmora::cli
