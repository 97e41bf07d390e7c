// Walking the SMBIOS structure table: each structure's formatted area and strings.

#include "harnel/decode/smbios.h"

#include "harnel/decode/text_util.h"

namespace harnel::decode {
namespace {

constexpr std::size_t kHeaderLength = 4;
constexpr std::uint8_t kEndOfTable = 127;

std::optional<std::uint64_t> LittleEndian(std::string_view area, std::size_t offset,
                                          std::size_t width) {
  if (offset + width > area.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;) {
    value = (value << 8) | static_cast<unsigned char>(area[offset + i]);
  }
  return value;
}

}  // namespace

std::optional<std::uint8_t> SmbiosStructure::Byte(std::size_t offset) const {
  auto value = LittleEndian(formatted, offset, 1);
  return value ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(*value)) : std::nullopt;
}

std::optional<std::uint16_t> SmbiosStructure::Word(std::size_t offset) const {
  auto value = LittleEndian(formatted, offset, 2);
  return value ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*value)) : std::nullopt;
}

std::optional<std::uint32_t> SmbiosStructure::Dword(std::size_t offset) const {
  auto value = LittleEndian(formatted, offset, 4);
  return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
}

std::optional<std::uint64_t> SmbiosStructure::Qword(std::size_t offset) const {
  return LittleEndian(formatted, offset, 8);
}

std::optional<std::string> SmbiosStructure::String(std::size_t offset) const {
  const std::optional<std::uint8_t> number = Byte(offset);
  if (!number || *number == 0 || *number > strings.size()) return std::nullopt;
  std::string_view text = Trim(strings[*number - 1]);
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

std::vector<SmbiosStructure> ParseSmbiosTable(std::string_view table) {
  std::vector<SmbiosStructure> structures;
  std::size_t pos = 0;
  while (pos + kHeaderLength <= table.size()) {
    SmbiosStructure structure;
    structure.type = static_cast<std::uint8_t>(table[pos]);
    const auto length = static_cast<unsigned char>(table[pos + 1]);
    if (length < kHeaderLength || pos + length > table.size()) break;
    structure.handle = static_cast<std::uint16_t>(static_cast<unsigned char>(table[pos + 2]) |
                                                  static_cast<unsigned char>(table[pos + 3]) << 8);
    structure.formatted = table.substr(pos, length);
    // The string set ends with two NUL bytes; a structure without strings has just those two.
    std::size_t cursor = pos + length;
    const std::size_t end = table.find(std::string_view("\0\0", 2), cursor);
    if (end == std::string_view::npos) break;
    while (cursor < end) {
      const std::size_t stop = table.find('\0', cursor);
      structure.strings.push_back(table.substr(cursor, stop - cursor));
      cursor = stop + 1;
    }
    pos = end + 2;
    const bool last = structure.type == kEndOfTable;
    structures.push_back(std::move(structure));
    if (last) break;
  }
  return structures;
}

}  // namespace harnel::decode
