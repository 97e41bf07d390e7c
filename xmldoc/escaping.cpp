#include "xmldoc/escaping.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

#include "xmldoc/entity_table.h"
#include "xmldoc/unit_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The five units that become references, with what they become. Kept as a table so that
// the length pass and the writing pass agree by construction.
struct Reference {
  WChar unit;
  uint8_t length;
  WChar text[7];
};
constexpr Reference kReferences[] = {
    {'<', 4, WTEXT("&lt;")},    {'&', 5, WTEXT("&amp;")},  {'>', 4, WTEXT("&gt;")},
    {'\'', 6, WTEXT("&apos;")}, {'"', 6, WTEXT("&quot;")},
};
static_assert(std::all_of(std::begin(kReferences), std::end(kReferences),
                          [](const Reference& r) { return r.length <= kLongestReference; }));

// For each unit below 64, 1 + its place in kReferences, or 0 when it is copied as it is.
constexpr std::array<uint8_t, 64> MakeReferenceSlots() {
  std::array<uint8_t, 64> slots{};
  for (size_t i = 0; i < std::size(kReferences); ++i) {
    slots[kReferences[i].unit] = static_cast<uint8_t>(i + 1);
  }
  return slots;
}
constexpr std::array<uint8_t, 64> kReferenceSlots = MakeReferenceSlots();

// The reference that replaces `u`, or null when `u` is copied as it is.
const Reference* ReferenceFor(WChar u) {
  if (u >= 64 || kReferenceSlots[u] == 0) return nullptr;
  return &kReferences[kReferenceSlots[u] - 1];
}

// Stores one reference at `out` and returns the end of it. Every reference is four to six
// units: one fixed-size copy, then the rest.
WChar* WriteReference(const Reference& reference, WChar* out) {
  std::memcpy(out, reference.text, 4 * sizeof(WChar));
  for (size_t k = 4; k < reference.length; ++k) out[k] = reference.text[k];
  return out + reference.length;
}

// Stores `u`, or the reference that replaces it, at `out` and returns the end of it.
WChar* EscapeUnit(WChar u, WChar* out) {
  if (const Reference* reference = ReferenceFor(u)) return WriteReference(*reference, out);
  *out = u;
  return out + 1;
}

#if defined(__SSE2__)
// Values are mostly plain text, so they are handled eight units at a time.
constexpr size_t kBlock = 8;

__m128i LoadBlock(const WChar* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }

// Two bits per unit of `block` that becomes a reference.
unsigned ReferencedIn(__m128i block) {
  const __m128i hits =
      _mm_or_si128(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(block, _mm_set1_epi16('<')),
                                             _mm_cmpeq_epi16(block, _mm_set1_epi16('&'))),
                                _mm_or_si128(_mm_cmpeq_epi16(block, _mm_set1_epi16('>')),
                                             _mm_cmpeq_epi16(block, _mm_set1_epi16('\'')))),
                   _mm_cmpeq_epi16(block, _mm_set1_epi16('"')));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

// Stores `block` whole at `out` (which has room for it) and returns how many of its units
// come before the first one marked in `stops` (two bits per unit): kBlock when none is.
size_t StorePlainRun(__m128i block, unsigned stops, WChar* out) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
  return stops == 0 ? kBlock : static_cast<unsigned>(__builtin_ctz(stops)) >> 1;
}
#else
constexpr size_t kBlock = 0;  // no whole blocks: every unit goes through the plain loops
#endif
static_assert(kBlock <= kEscapeBlockSlack, "a whole block may be stored past what is kept");

}  // namespace

size_t EscapedLength(const WChar* text, size_t length) {
  size_t escaped = length;
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + kBlock <= length; i += kBlock) {
    for (unsigned mask = ReferencedIn(LoadBlock(text + i)); mask != 0; mask &= mask - 1) {
      const size_t unit = i + (static_cast<unsigned>(__builtin_ctz(mask)) >> 1);
      escaped += ReferenceFor(text[unit])->length - 1u;
      mask &= mask - 1;  // the second bit of the same unit
    }
  }
#endif
  for (; i < length; ++i) {
    if (const Reference* reference = ReferenceFor(text[i])) escaped += reference->length - 1u;
  }
  return escaped;
}

WChar* EscapeInto(const WChar* text, size_t length, WChar* out) {
  size_t i = 0;
#if defined(__SSE2__)
  // While a whole block remains, `out` has room for at least as many units, so the block is
  // stored whole and `out` advances past the units before its first reference only.
  while (i + kBlock <= length) {
    const __m128i block = LoadBlock(text + i);
    const size_t plain = StorePlainRun(block, ReferencedIn(block), out);
    out += plain;
    i += plain;
    if (plain == kBlock) continue;
    out = WriteReference(*ReferenceFor(text[i]), out);
    ++i;
  }
#endif
  for (; i < length; ++i) out = EscapeUnit(text[i], out);
  return out;
}

VELMORA_WHOLE_BLOCK_READS WChar* EscapeTerminatedInto(const WChar* text, size_t limit, WChar* out) {
  size_t i = 0;
#if defined(__SSE2__)
  // One pass finds both the terminator and the units to escape, a block at a time while the
  // block cannot leave the page of its first unit (the units past the terminator are read
  // but never kept).
  constexpr uintptr_t kPage = 4096;
  while (i + kBlock <= limit &&
         (reinterpret_cast<uintptr_t>(text + i) & (kPage - 1)) <= kPage - sizeof(__m128i)) {
    // Loaded here, not through LoadBlock, so that the unchecked read stays in this function.
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const unsigned stops =
        ReferencedIn(block) |
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(block, _mm_setzero_si128())));
    const size_t plain = StorePlainRun(block, stops, out);
    out += plain;
    i += plain;
    if (plain == kBlock) continue;
    if (text[i] == 0) return out;
    out = WriteReference(*ReferenceFor(text[i]), out);
    ++i;
  }
#endif
  for (; i < limit && text[i] != 0; ++i) out = EscapeUnit(text[i], out);
  return text[i] == 0 ? out : nullptr;
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
