#pragma once
// The nodes that make up nearly every document (white space before a "<", start tags and end
// tags that are complete before the end of the text), scanned by dedicated loops that the
// node scanner and the parser share. Their results are exactly the general machine's; the
// parse fuzz target checks that node by node.

#include <cstdint>

#include "base/text.h"
#include "xmldoc/parser.h"
#include "xmldoc/unit_search.h"

namespace common_nodes {

// Units that end a tag name: white space, "/", ">" and the terminator, all below 64.
inline constexpr uint64_t kNameEnds = (1ull << 0) | (1ull << '\t') | (1ull << '\n') |
                                      (1ull << '\r') | (1ull << ' ') | (1ull << '/') |
                                      (1ull << '>');
inline constexpr uint64_t kWhitespace =
    (1ull << '\t') | (1ull << '\n') | (1ull << '\r') | (1ull << ' ');

inline bool EndsName(WChar u) { return u < 64 && ((kNameEnds >> u) & 1) != 0; }
inline bool IsSpace(WChar u) { return u < 64 && ((kWhitespace >> u) & 1) != 0; }
inline bool StartsTagName(WChar u) {
  return u > 0x60 || (u >= 'A' && u <= 'Z') || u == '_' || u == ':';
}

// Whether a start tag that ends with ">" at `p` is an empty-element tag: "/" before the ">",
// and before that nothing (the name), white space or a quote. The units are read back by
// position; `nameEnd` is the unit that ended the name, the first one remembered.
inline bool EndsEmpty(const WChar* t, int32_t p, int32_t nameEnd) {
  const WChar previous = p - 1 >= nameEnd ? t[p - 1] : 0;
  const WChar beforePrevious = p - 2 >= nameEnd ? t[p - 2] : 0;
  return previous == '/' && (beforePrevious == 0 || IsSpace(beforePrevious) ||
                             beforePrevious == '\'' || beforePrevious == '"');
}

// The searches inside a tag look at one unit after another: most of them end within a few
// units, and a loop whose exit the processor predicts lets it run ahead into the next node,
// where a block search would make it wait for the block's mask.

// Offset of the first unit that ends a tag name at or after q.
inline int32_t FindNameEnd(const WChar* t, int32_t q) {
  while (!EndsName(t[q])) ++q;
  return q;
}

// Offset of the first "=", ">" or terminator at or after q: between attributes there are
// only names and white space.
inline int32_t FindTagStop(const WChar* t, int32_t q) {
  constexpr uint64_t kStops = (1ull << 0) | (1ull << '=') | (1ull << '>');
  while (t[q] >= 64 || ((kStops >> t[q]) & 1) == 0) ++q;
  return q;
}

// Offset of the first ">" or terminator at or after q.
inline int32_t FindTagEnd(const WChar* t, int32_t q) {
  while (t[q] != '>' && t[q] != 0) ++q;
  return q;
}

// What ScanCommonNode found.
struct CommonNode {
  int32_t kind;       // NodeWhitespace, NodeElement or NodeEndTag; NodeError: anything else
  int32_t end;        // offset just past the node
  int32_t nameStart;  // tags: first unit of the tag name
  int32_t nameEnd;    // tags: the unit after the name
  bool empty;         // start tags: ended with "/>"
};

// Scans the start tag at `start`, a "<" followed by a unit that starts a name; NodeError
// when the text ends inside it.
inline CommonNode ScanStartTag(const WChar* t, int32_t start) {
  CommonNode found{NodeError, 0, 0, 0, false};
  int32_t q = FindNameEnd(t, start + 2);
  if (t[q] == 0) return found;
  const int32_t nameEnd = q;
  // Outside a value only ">" and "=" act in a start tag; the units before ">" that the
  // empty-element test needs are read back by position.
  for (;;) {
    q = FindTagStop(t, q);
    if (t[q] != '=') {
      if (t[q] == 0) return found;
      break;
    }
    // After "=" only white space may come before a quoted value; any other unit makes the
    // value unquoted. An "=" right after an "=" announces nothing, nor do those after it;
    // one after white space announces a value again and is left to the next turn.
    WChar c;
    do c = t[++q];
    while (IsSpace(c));
    if (c == '"' || c == '\'') {
      q = FindNearUnit(t, q + 1, c);
      if (t[q] == 0) return found;
      ++q;
    } else if (c == '=' && t[q - 1] == '=') {
      while (t[q] == '=') ++q;
    }
  }
  found = {NodeElement, q + 1, start + 1, nameEnd, EndsEmpty(t, q, nameEnd)};
  return found;
}

// ScanStartTag for a start tag of at most 16 units after its "<" in the plain shape: after
// the name, no quote but those of values that open right after an "=" and close before the
// first ">", all quoted with the same character. The tag is then read from masks of one block
// of units: it ends at its first ">", since no value holds one. False, with nothing found,
// for any other tag (or where the block would leave its page); ScanStartTag reads those.
// `expectedEnd` is where in the block the previous short tag's ">" was: documents repeat
// their shapes, and a tag that ends there is found to end there by a test and a branch, so
// that the next node's reads need not wait for the masks. It is updated when the tag ends
// elsewhere.
VELMORA_WHOLE_BLOCK_READS inline bool ScanShortStartTag(const WChar* t, int32_t start,
                                                        int32_t& expectedEnd, CommonNode& found) {
#if defined(__SSE2__)
  const WChar* const w = t + start + 1;  // the name's first unit, which is not a name end
  if ((reinterpret_cast<uintptr_t>(w) & 4095) > 4096 - 32) return false;
  // One byte a unit: the units that act in a tag are all below 0x7F and keep their value;
  // every other unit becomes 0x7F or 0x80, which acts nowhere.
  const __m128i units = _mm_packs_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(w)),
                                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 8)));
  const auto is = [&](char u) { return _mm_cmpeq_epi8(units, _mm_set1_epi8(u)); };
  const auto bits = [](__m128i m) { return static_cast<uint32_t>(_mm_movemask_epi8(m)); };
  const __m128i closes = is('>');
  const uint32_t ends = bits(_mm_or_si128(closes, is(0)));
  if (ends == 0) return false;
  const __m128i low = _mm_cmpeq_epi8(_mm_subs_epu8(units, _mm_set1_epi8(' ')), _mm_setzero_si128());
  const uint32_t nameEnds = bits(_mm_or_si128(_mm_or_si128(low, is('/')), closes));
  // The first unit up to " " might be a control unit inside the name; the first ">" or
  // terminator comes no earlier than the name's end.
  const int32_t nameOffset = __builtin_ctz(nameEnds);
  // The first ">" or terminator is at the expected place exactly when the mask's lowest set
  // bit is that place's bit; the offset is then the expected one, not one read from the mask.
  int32_t end = expectedEnd;
  if ((ends & ((2u << end) - 1)) != (1u << end)) [[unlikely]] {
    end = __builtin_ctz(ends);
    // A conditional move here would put the masks back on the cursor's path.
    asm volatile("" : "+r"(end));
    expectedEnd = end;
  }
  if (!EndsName(w[nameOffset]) || w[end] == 0) return false;
  // The units from the name's end up to the first ">".
  const uint32_t between = (1u << end) - (1u << nameOffset);
  const uint32_t quotes = bits(is('"')) & between;
  const uint32_t apostrophes = bits(is('\'')) & between;
  if ((quotes | apostrophes) != 0) {
    // Quotes of one character only, paired in order: the running parity of the quotes is
    // set from each opening quote up to its closing one, and odd at the end when a value
    // would run past the first ">". An "=" outside the values must be followed at once by
    // an opening quote, and every opening quote follow one. The values are then exactly the
    // quoted pairs, as the unit-by-unit scan finds them.
    if (quotes != 0 && apostrophes != 0) return false;
    uint32_t inside = quotes | apostrophes;
    inside ^= inside << 1;
    inside ^= inside << 2;
    inside ^= inside << 4;
    inside ^= inside << 8;
    const uint32_t openings = (quotes | apostrophes) & inside;
    if ((inside & 0x8000) != 0 || ((bits(is('=')) & between & ~inside) << 1) != openings) {
      return false;
    }
  }
  const int32_t nameEnd = start + 1 + nameOffset;
  const bool empty = w[end - 1] == '/' && EndsEmpty(t, start + 1 + end, nameEnd);
  found = {NodeElement, start + 2 + end, start + 1, nameEnd, empty};
  return true;
#else
  (void)t;
  (void)start;
  (void)expectedEnd;
  (void)found;
  return false;
#endif
}

// Scans the node at `start` if it is a common one; NodeError leaves it to the general machine.
inline CommonNode ScanCommonNode(const WChar* t, int32_t start) {
  CommonNode found{NodeError, 0, 0, 0, false};
  int32_t q = start;
  if (IsSpace(t[q])) {
    while (IsSpace(t[q])) ++q;  // short runs between tags: one by one, as the searches above
    if (t[q] != '<') return found;
    found.kind = NodeWhitespace;
    found.end = q;
    return found;
  }
  if (t[q] != '<') return found;
  if (t[q + 1] == '/') {
    q = FindNameEnd(t, q + 2);
    const int32_t nameEnd = q;
    q = FindTagEnd(t, q);
    if (t[q] == 0) return found;
    found = {NodeEndTag, q + 1, start + 2, nameEnd, false};
    return found;
  }
  if (!StartsTagName(t[q + 1])) return found;
  return ScanStartTag(t, start);
}

}  // namespace common_nodes
