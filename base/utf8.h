#pragma once
// The one UTF-8 decoder of Velmora and of its provider. What is not UTF-8 becomes one U+FFFD
// per maximal subpart: the longest run of bytes that begins a well-formed sequence (overlong
// forms, surrogates and values above U+10FFFF do not), else one byte. So a sequence cut short,
// by another byte or by the end of the input, is one U+FFFD, as the system converters give it.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/text.h"

namespace unicode {

inline constexpr char32_t kReplacement = 0xFFFD;

struct Utf8Sequence {
  enum Kind { kWellFormed, kIllFormed, kCutShort } kind;  // kCutShort: by the end of the input
  char32_t value;      // the code point; U+FFFD for what is not well-formed
  std::size_t length;  // the bytes it takes: the maximal subpart when it is not well-formed
};

// The sequence at the start of `bytes`, which is not empty.
constexpr Utf8Sequence NextUtf8Sequence(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return {Utf8Sequence::kWellFormed, lead, 1};
  // The length that the lead byte announces, and the range of the byte after it, which rules
  // out overlong forms, surrogates and values above U+10FFFF.
  std::size_t length = 0;
  if (lead >= 0xC2 && lead < 0xE0) length = 2;
  if (lead >= 0xE0 && lead < 0xF0) length = 3;
  if (lead >= 0xF0 && lead < 0xF5) length = 4;
  if (length == 0) return {Utf8Sequence::kIllFormed, kReplacement, 1};
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  const std::size_t present = bytes.size() < length ? bytes.size() : length;
  char32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < present; ++i) {
    const bool fits = i == 1 ? at(i) >= low && at(i) <= high : (at(i) & 0xC0) == 0x80;
    if (!fits) return {Utf8Sequence::kIllFormed, kReplacement, i};
    value = value << 6 | (at(i) & 0x3F);
  }
  if (present < length) return {Utf8Sequence::kCutShort, kReplacement, present};
  return {Utf8Sequence::kWellFormed, value, length};
}

// Appends the code point `value` to `units`, as a surrogate pair beyond U+FFFF.
inline void AppendUtf16(char32_t value, WString& units) {
  if (value < 0x10000) {
    units.push_back(static_cast<WChar>(value));
    return;
  }
  value -= 0x10000;
  units.push_back(static_cast<WChar>(0xD800 | value >> 10));
  units.push_back(static_cast<WChar>(0xDC00 | (value & 0x3FF)));
}

// Appends the UTF-8 form of the code point `value` to `out`.
inline void AppendUtf8(char32_t value, std::string& out) {
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x800) {
    out += static_cast<char>(0xC0 | (value >> 6));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    out += static_cast<char>(0xE0 | (value >> 12));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (value >> 18));
    out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  }
}

// UTF-8 to UTF-16; code points beyond U+FFFF become surrogate pairs, and what is not UTF-8
// becomes U+FFFD as NextUtf8Sequence reads it. Inline, so that a host converting its own text
// carries its own copy and needs nothing of the libraries for it.
inline WString Utf8ToUtf16(std::string_view utf8) {
  WString out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const Utf8Sequence sequence = NextUtf8Sequence(utf8);
    AppendUtf16(sequence.value, out);
    utf8.remove_prefix(sequence.length);
  }
  return out;
}

// UTF-16 to UTF-8; a surrogate without its partner becomes U+FFFD.
inline std::string Utf16ToUtf8(WStringView utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char32_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00), out);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(kReplacement, out);
    } else {
      AppendUtf8(unit, out);
    }
  }
  return out;
}

}  // namespace unicode
