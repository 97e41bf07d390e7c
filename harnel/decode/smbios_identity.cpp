// Decoding the machine's identity from the SMBIOS system, enclosure and processor structures.

#include "harnel/decode/smbios_identity.h"

#include "harnel/decode/smbios.h"

namespace harnel::decode {
namespace {

constexpr std::size_t kUuidOffset = 0x08;
constexpr std::size_t kUuidLength = 16;
constexpr std::uint8_t kPopulated = 0x40;  // bit 6 of the processor's status byte
// A count byte of 0xFF sends the reader to the wider count of later versions.
constexpr std::uint8_t kSeeWiderCount = 0xFF;

SmbiosSystem DecodeSystem(const SmbiosStructure& s) {
  SmbiosSystem system{s.String(0x04), s.String(0x05), s.String(0x07), std::nullopt, s.String(0x19)};
  if (s.formatted.size() >= kUuidOffset + kUuidLength) {
    system.uuid = SmbiosUuidText(s.formatted.substr(kUuidOffset, kUuidLength));
  }
  return system;
}

std::optional<std::int64_t> Count(const SmbiosStructure& s, std::size_t byteOffset,
                                  std::size_t wordOffset) {
  const std::optional<std::uint8_t> count = s.Byte(byteOffset);
  if (!count || *count == 0) return std::nullopt;
  if (*count != kSeeWiderCount) return *count;
  const std::optional<std::uint16_t> wide = s.Word(wordOffset);
  if (!wide || *wide == 0 || *wide == 0xFFFF) return *count;
  return *wide;
}

}  // namespace

SmbiosIdentity ParseSmbiosIdentity(std::string_view table) {
  SmbiosIdentity identity;
  for (const SmbiosStructure& s : ParseSmbiosTable(table)) {
    if (s.type == 1 && !identity.system) identity.system = DecodeSystem(s);
    if (s.type == 3 && !identity.enclosure) {
      identity.enclosure = SmbiosEnclosure{s.String(0x07), s.String(0x08)};
    }
    if (s.type == 4 && (s.Byte(0x18).value_or(0) & kPopulated) != 0) {
      if (identity.sockets.populated++ == 0) {
        identity.sockets.cores = Count(s, 0x23, 0x2A);
        identity.sockets.threads = Count(s, 0x25, 0x2E);
      }
    }
  }
  return identity;
}

std::optional<std::string> SmbiosUuidText(std::string_view bytes) {
  if (bytes.size() < kUuidLength) return std::nullopt;
  // Byte order of the text: the first three fields reversed, the rest as stored.
  static constexpr int kOrder[kUuidLength] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int i = 0; i < static_cast<int>(kUuidLength); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
    const auto byte = static_cast<unsigned char>(bytes[kOrder[i]]);
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

bool IsUnsetUuid(std::string_view text) {
  bool zeros = true, ones = true;
  for (char c : text) {
    if (c == '-') continue;
    zeros = zeros && c == '0';
    ones = ones && (c == 'F' || c == 'f');
  }
  return zeros || ones;
}

}  // namespace harnel::decode
