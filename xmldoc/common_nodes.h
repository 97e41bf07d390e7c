#pragma once
// The nodes that make up nearly every document (white space before a "<", start tags and end
// tags that are complete before the end of the text), scanned by dedicated loops that the
// node scanner and the parser share. Their results are exactly the general machine's; the
// parse fuzz target checks that node by node.

#include <cstdint>

#include "provider/text.h"
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

// Offset of the first "=", ">" or terminator at or after q: between attributes there are
// only names and white space.
inline int32_t FindTagStop(const WChar* t, int32_t q) {
  constexpr uint64_t kStops = (1ull << 0) | (1ull << '=') | (1ull << '>');
  while (t[q] >= 64 || ((kStops >> t[q]) & 1) == 0) ++q;
  return q;
}

// Offset of the first `quote` or terminator at or after q; values longer than a few units
// are searched by blocks.
inline int32_t FindQuoteEnd(const WChar* t, int32_t q, WChar quote) {
  for (const int32_t near = q + 8; q < near; ++q) {
    if (t[q] == quote || t[q] == 0) return q;
  }
  return FindUnit(t, q, quote);
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
    q += 2;
    while (!EndsName(t[q])) ++q;
    const int32_t nameEnd = q;
    q = FindTagEnd(t, q);
    if (t[q] == 0) return found;
    found = {NodeEndTag, q + 1, start + 2, nameEnd, false};
    return found;
  }
  if (!StartsTagName(t[q + 1])) return found;
  q += 2;
  while (!EndsName(t[q])) ++q;
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
    // After "=" only white space may come before a quoted value; a second "=" or any other
    // unit makes the value unquoted, and a second "=" does not announce a value again.
    WChar c;
    do c = t[++q];
    while (IsSpace(c));
    if (c == '"' || c == '\'') {
      q = FindQuoteEnd(t, q + 1, c);
      if (t[q] == 0) return found;
      ++q;
    } else if (c == '=') {
      ++q;
    }
  }
  found = {NodeElement, q + 1, start + 1, nameEnd, EndsEmpty(t, q, nameEnd)};
  return found;
}

}  // namespace common_nodes
