// How one line of the pci.ids database reads.

#include "harnel/linux/pci_ids_line.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace harnel::linux {
namespace {

// The number in the `digits` hex digits at the start of `text`; nullopt when they are not all
// hex digits.
std::optional<std::uint32_t> LeadingHex(std::string_view text, std::size_t digits) {
  if (text.size() < digits) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

bool IsWhite(char c) { return c == ' ' || c == '\t'; }

// `line` cut at its carriage return or NUL, less one trailing space or tab.
std::string_view Text(std::string_view line) {
  // One search per byte value: find_first_of looks each byte up in the set with a call of its
  // own, which was a sixth of a whole inventory's instructions.
  line = line.substr(0, std::min(line.find('\r'), line.find('\0')));
  if (!line.empty() && IsWhite(line.back())) line.remove_suffix(1);
  return line;
}

// A line of `level` that gives no name.
PciIdsLine Unnamed(PciIdsLevel level) {
  PciIdsLine line;
  line.level = level;
  return line;
}

// `line` as the entry of `level` it is when `text` holds an ID of `digits` hex digits, the
// white space after it and a name; as no entry otherwise.
PciIdsLine Entry(PciIdsLevel level, std::string_view text, std::size_t digits) {
  PciIdsLine line = Unnamed(level);
  const std::optional<std::uint32_t> id = LeadingHex(text, digits);
  if (!id || text.size() == digits || !IsWhite(text[digits])) return line;
  const std::size_t start = text.find_first_not_of(" \t", digits);
  if (start == std::string_view::npos) return line;
  line.id = *id;
  line.name = text.substr(start);
  return line;
}

}  // namespace

PciIdsLine ReadPciIdsLine(std::string_view line, PciIdsBlock block) {
  const std::string_view text = Text(line);
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos || text[first] == '#') return {};
  const std::size_t tabs = text.find_first_not_of('\t');
  if (tabs == 0) {
    PciIdsLine top;
    if (text.starts_with("C ")) {
      top = Entry(PciIdsLevel::Top, text.substr(2), 2);
      top.opens = PciIdsBlock::Class;
    } else if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && text[1] == ' ') {
      return Unnamed(PciIdsLevel::Top);  // a kind of block that names nothing here
    } else {
      top = Entry(PciIdsLevel::Top, text, 4);
      top.opens = PciIdsBlock::Vendor;
    }
    if (!top.Names()) top.opens = PciIdsBlock::None;
    return top;
  }
  if (tabs > 1) return Unnamed(PciIdsLevel::Deeper);
  switch (block) {
    case PciIdsBlock::Vendor:
      return Entry(PciIdsLevel::Member, text.substr(1), 4);
    case PciIdsBlock::Class:
      return Entry(PciIdsLevel::Member, text.substr(1), 2);
    case PciIdsBlock::None:
      break;
  }
  return Unnamed(PciIdsLevel::Member);
}

}  // namespace harnel::linux
