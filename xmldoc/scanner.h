#pragma once
// The cursor with which names, words and attribute values are read in place inside a
// zero-terminated text, without copying it.

#include <cstdint>

#include "base/text.h"

// Bits of Scanner::scanFlags (shared with the document flags word).
enum ScanFlag : uint32_t {
  IgnoreCase = 0x8,      // compare names without regard to ASCII case
  QuotedToken = 0x8000,  // set by FindAttribute when the token was a quoted value
};

// A plain value over a text it does not own; the text must outlive it and stay unchanged.
struct Scanner {
  int32_t tokenStart = 0;       // first unit of the current token
  int32_t tokenEnd = -1;        // last unit of the token; tokenStart - 1 when it is empty
  int32_t cursor = 0;           // next unit to examine
  const WChar* text = nullptr;  // zero-terminated
  uint32_t scanFlags = 0;       // ScanFlag bits
  int32_t matchStart = 0;       // FindAttribute: offset before the white space of the match
  int32_t matchGap = 0;         // FindAttribute: width of that white space
  // FindAttribute: every attribute it passed, the match included, read as name="value" (or
  // with single quotes) with nothing between, after a tag name ended by white space, "/" or
  // ">", and, when nothing matched, the list ended at "/" or ">". The parser pairs the
  // quotes of such a tag exactly as the search does.
  bool plainTag = false;
};

// Whether u is one of the four white-space units of the engine: space, tab, LF, CR.
constexpr bool IsWhitespace(WChar u) { return u == ' ' || u == '\t' || u == '\n' || u == '\r'; }

// Skips white space, then takes the next word (or a single delimiter unit) as the token.
// False, with an empty token, at the end of the text.
bool NextWord(Scanner& scanner);

// Compares count units, ASCII letters without regard to case; 0 when they match, else the
// difference of the first mismatching pair (after folding to capitals).
int32_t CompareNoCase(const WChar* a, const WChar* b, int32_t count);

// Whether the token is `name` (zero-terminated): equal units, and `name` ends there or
// continues with space, "=", "/", "[" or "]".
bool TokenEquals(const Scanner& scanner, const WChar* name);

// TokenEquals for a name of known length that need not be terminated.
bool TokenEquals(const Scanner& scanner, WStringView name);

// What NextWord followed by TokenEquals(name) decide, without moving the scanner, for a
// name whose first `length` units hold no unit that ends a path name and are followed by
// the terminator or a name continuation. The finds compare one tag name after another
// with it, so the word is compared as it is read.
bool WordEquals(const Scanner& scanner, const WChar* name, int32_t length);

// A copy of the token's units.
WString TokenText(const Scanner& scanner);

// Finds attribute `name` of the tag at the cursor (the first token is the tag name and is
// never compared). On success the token is the value without quotes, or the attribute's own
// name when it has no value. On failure the cursor stands where the attribute list ended.
bool FindAttribute(Scanner& scanner, const WChar* name);

// FindAttribute without its path for the common shape of tag, with the same results; for
// tests and fuzz targets that compare the two.
bool FindAttributeInGeneral(Scanner& scanner, const WChar* name);
