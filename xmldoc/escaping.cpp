#include "xmldoc/escaping.h"

#include "xmldoc/entity_table.h"

namespace {

// A reference name is at most 9 units ("thetasym" and long numeric references fit).
constexpr int32_t kMaxReferenceName = 9;

uint32_t DigitValue(WChar u) {
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'a' && u <= 'z') return u - 'a' + 10;
  if (u >= 'A' && u <= 'Z') return u - 'A' + 10;
  return 36;
}

// Reads a number the way wcstol does: leading white space, an optional sign, for base 16 an
// optional "0x", then digits up to the first unit that is not a digit of the base; no digits
// give 0. Nine units of name cannot overflow 31 bits, so no saturation is needed.
uint32_t ReadNumber(const WChar* digits, int32_t count, uint32_t base) {
  int32_t i = 0;
  while (i < count && (digits[i] == ' ' || (digits[i] >= '\t' && digits[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < count && (digits[i] == '+' || digits[i] == '-')) negative = digits[i++] == '-';
  if (base == 16 && i + 2 < count && digits[i] == '0' &&
      (digits[i + 1] == 'x' || digits[i + 1] == 'X') && DigitValue(digits[i + 2]) < 16) {
    i += 2;
  }
  uint32_t value = 0;
  for (; i < count && DigitValue(digits[i]) < base; ++i)
    value = value * base + DigitValue(digits[i]);
  return negative ? 0u - value : value;
}

const WChar* Replacement(WChar u) {
  switch (u) {
    case '<':
      return WTEXT("&lt;");
    case '&':
      return WTEXT("&amp;");
    case '>':
      return WTEXT("&gt;");
    case '\'':
      return WTEXT("&apos;");
    case '"':
      return WTEXT("&quot;");
    default:
      return nullptr;
  }
}

// The units Replacement knows, all below 64, as bits of one word: one test per unit.
constexpr uint64_t kReferenced = (uint64_t(1) << '<') | (uint64_t(1) << '&') |
                                 (uint64_t(1) << '>') | (uint64_t(1) << '\'') |
                                 (uint64_t(1) << '"');

bool NeedsReference(WChar u) { return u < 64 && ((kReferenced >> u) & 1) != 0; }

}  // namespace

size_t EscapedLength(const WChar* text, size_t length) {
  size_t escaped = length;
  for (size_t i = 0; i < length; ++i) {
    if (!NeedsReference(text[i])) continue;
    escaped += std::char_traits<WChar>::length(Replacement(text[i])) - 1;
  }
  return escaped;
}

WChar* EscapeInto(const WChar* text, size_t length, WChar* out) {
  for (size_t i = 0; i < length; ++i) {
    if (!NeedsReference(text[i])) {
      *out++ = text[i];
      continue;
    }
    for (const WChar* replacement = Replacement(text[i]); *replacement != 0; ++replacement) {
      *out++ = *replacement;
    }
  }
  return out;
}

WString EscapeText(const WChar* text) {
  const size_t length = std::char_traits<WChar>::length(text);
  WString result(EscapedLength(text, length), WChar());
  EscapeInto(text, length, result.data());
  return result;
}

WString UnescapeText(const WChar* text, int32_t length) {
  if (length == -1) length = static_cast<int32_t>(std::char_traits<WChar>::length(text));
  WString result;
  if (length <= 0) return result;
  // Most values hold no reference and are copied whole.
  if (std::char_traits<WChar>::find(text, size_t(length), '&') == nullptr) {
    return WString(text, size_t(length));
  }
  result.reserve(length);

  int32_t i = 0;
  while (i < length) {
    const WChar* found = std::char_traits<WChar>::find(text + i, size_t(length - i), '&');
    const int32_t run = found != nullptr ? static_cast<int32_t>(found - text) : length;
    if (run > i) {
      result.append(text + i, size_t(run - i));
      i = run;
      continue;
    }
    // Collect the folded name up to ";", at most 9 units, never past the input's end.
    WChar name[kMaxReferenceName];
    int32_t n = 0;
    bool terminated = false;
    for (int32_t j = i + 1; j < length; ++j) {
      const WChar u = text[j];
      if (u == ';') {
        terminated = true;
        break;
      }
      if (u >= 0x80 || n == kMaxReferenceName) break;
      name[n++] = (u >= 'A' && u <= 'Z') ? WChar(u - 'A' + 'a') : u;
    }

    uint32_t value = 0;
    if (terminated) {
      if (n > 0 && name[0] == '#') {
        value = (n > 1 && name[1] == 'x') ? ReadNumber(name + 2, n - 2, 16)
                                          : ReadNumber(name + 1, n - 1, 10);
      } else {
        value = LookUpEntity(name, n);
      }
    }
    if (value == 0) {
      result += '&';
      ++i;
      continue;
    }
    if (value > 0xFFFF) {
      // Values past U+10FFFF are not rejected: the pair is built from the bits as they are.
      const uint32_t v = value - 0x10000;
      result += WChar(0xD800 | ((v >> 10) & 0x3FF));
      result += WChar(0xDC00 | (v & 0x3FF));
    } else {
      result += WChar(value);
    }
    i += n + 2;
  }
  return result;
}
