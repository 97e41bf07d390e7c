#include "platform/utf8_decoding.h"

#include <cstdint>

namespace platform {

namespace {

constexpr WChar kReplacementCharacter = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The bounds of the byte after a lead byte, which rule out overlong forms, surrogates and
// values above U+10FFFF; every later byte is a plain continuation byte.
struct SecondByteRange {
  unsigned char low, high;
};

SecondByteRange SecondByteRangeOf(unsigned char lead) {
  switch (lead) {
    case 0xE0:
      return {0xA0, 0xBF};
    case 0xED:
      return {0x80, 0x9F};
    case 0xF0:
      return {0x90, 0xBF};
    case 0xF4:
      return {0x80, 0x8F};
    default:
      return {0x80, 0xBF};
  }
}

// The length of the sequence that `lead` starts, 0 when no well-formed sequence starts so.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC2) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF5) return 4;
  return 0;
}

void AppendCodePoint(std::uint32_t value, WString& units) {
  if (value < 0x10000) {
    units.push_back(static_cast<WChar>(value));
    return;
  }
  value -= 0x10000;
  units.push_back(static_cast<WChar>(0xD800 | value >> 10));
  units.push_back(static_cast<WChar>(0xDC00 | (value & 0x3FF)));
}

}  // namespace

bool DecodeWellFormedUtf8(const char* bytes, std::size_t byteCount, WString& units) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  const auto* end = in + byteCount;
  units.reserve(units.size() + byteCount);
  while (in != end) {
    const unsigned char lead = *in;
    if (lead < 0x80) {
      units.push_back(lead);
      ++in;
      continue;
    }
    const int length = SequenceLength(lead);
    if (length == 0) return false;
    const SecondByteRange second = SecondByteRangeOf(lead);
    const std::size_t available = static_cast<std::size_t>(end - in);
    const int present =
        available < static_cast<std::size_t>(length) ? static_cast<int>(available) : length;
    if (present > 1 && (in[1] < second.low || in[1] > second.high)) return false;
    for (int k = 2; k < present; ++k) {
      if (!IsContinuation(in[k])) return false;
    }
    if (present < length) {
      // A well-formed start that the end cuts short: one replacement for all of it.
      units.push_back(kReplacementCharacter);
      return true;
    }
    std::uint32_t value = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) value = value << 6 | (in[k] & 0x3F);
    AppendCodePoint(value, units);
    in += length;
  }
  return true;
}

}  // namespace platform
