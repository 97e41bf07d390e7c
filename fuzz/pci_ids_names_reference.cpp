// The names reader as it stood before the selection and the names read every line by one set
// of rules, kept unchanged so that the fuzz target can check that the shared reader names
// exactly what it named. It goes once the shared reader has been fuzzed long enough.

#include "fuzz/pci_ids_names_reference.h"

#include <cstddef>
#include <optional>

namespace harnel::linux::reference {

namespace {

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

// The text of the line that starts `rest`: up to its line feed, carriage return or NUL, less
// one trailing space or tab. `rest` is moved past the line and its line feed.
std::string_view TakeLine(std::string_view& rest) {
  const std::size_t feed = rest.find('\n');
  std::string_view line = rest.substr(0, feed);
  rest.remove_prefix(feed == std::string_view::npos ? rest.size() : feed + 1);
  line = line.substr(0, line.find_first_of(std::string_view("\r\0", 2)));
  if (!line.empty() && IsWhite(line.back())) line.remove_suffix(1);
  return line;
}

// The ID of `digits` hex digits at the start of `text` and the name after the white space
// that follows it; nullopt when the ID, the white space or the name is missing.
struct IdAndName {
  std::uint32_t id = 0;
  std::string_view name;
};
std::optional<IdAndName> ReadEntry(std::string_view text, std::size_t digits) {
  const std::optional<std::uint32_t> id = LeadingHex(text, digits);
  if (!id || text.size() == digits || !IsWhite(text[digits])) return std::nullopt;
  std::size_t start = digits + 1;
  while (start < text.size() && IsWhite(text[start])) ++start;
  if (start == text.size()) return std::nullopt;
  return IdAndName{*id, text.substr(start)};
}

// What the lines below a top-level line name.
enum class Block { None, Vendor, Class };

}  // namespace

PciIdsNames ReadPciIdsNames(std::string_view lines) {
  PciIdsNames names;
  Block block = Block::None;
  std::uint32_t owner = 0;  // the vendor or class of the block
  while (!lines.empty()) {
    const std::string_view line = TakeLine(lines);
    const std::size_t text = line.find_first_not_of(" \t");
    if (text == std::string_view::npos || line[text] == '#') continue;
    const std::size_t tabs = line.find_first_not_of('\t');
    if (tabs == 0) {
      std::optional<IdAndName> entry;
      if (line.starts_with("C ")) {
        entry = ReadEntry(line.substr(2), 2);
        block = entry ? Block::Class : Block::None;
        if (entry) names.classes.emplace(static_cast<std::uint8_t>(entry->id), entry->name);
      } else if (line.size() > 1 && line[0] >= 'A' && line[0] <= 'Z' && line[1] == ' ') {
        block = Block::None;  // a kind of block that names nothing here
      } else {
        entry = ReadEntry(line, 4);
        block = entry ? Block::Vendor : Block::None;
        if (entry) names.vendors.emplace(static_cast<std::uint16_t>(entry->id), entry->name);
      }
      if (entry) owner = entry->id;
    } else if (tabs == 1 && block == Block::Vendor) {
      if (const std::optional<IdAndName> entry = ReadEntry(line.substr(1), 4))
        names.models.emplace(owner << 16 | entry->id, entry->name);
    } else if (tabs == 1 && block == Block::Class) {
      if (const std::optional<IdAndName> entry = ReadEntry(line.substr(1), 2))
        names.subclasses.emplace(static_cast<std::uint16_t>(owner << 8 | entry->id), entry->name);
    }
  }
  return names;
}

}  // namespace harnel::linux::reference
