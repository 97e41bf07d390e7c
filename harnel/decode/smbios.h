#pragma once
// The SMBIOS structure table as the kernel exports it (/sys/firmware/dmi/tables/DMI): a run of
// structures, each a formatted area (type, length, handle, fields) followed by its strings.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harnel::decode {

// One structure; its views point into the table bytes, which must outlive it.
struct SmbiosStructure {
  std::uint8_t type = 0;
  std::uint16_t handle = 0;
  std::string_view formatted;             // the whole formatted area, header included
  std::vector<std::string_view> strings;  // string 1 is strings[0]

  // The field at `offset` of the formatted area, nullopt past its end (older tables are shorter).
  std::optional<std::uint8_t> Byte(std::size_t offset) const;
  std::optional<std::uint16_t> Word(std::size_t offset) const;
  std::optional<std::uint32_t> Dword(std::size_t offset) const;
  std::optional<std::uint64_t> Qword(std::size_t offset) const;
  // The string whose number stands at `offset`, trimmed; nullopt for number 0, a missing
  // string or one of blanks.
  std::optional<std::string> String(std::size_t offset) const;
};

// The structures of `table` in order, up to the end-of-table structure (type 127) or the
// first structure that does not fit; never reads past `table`.
std::vector<SmbiosStructure> ParseSmbiosTable(std::string_view table);

}  // namespace harnel::decode
