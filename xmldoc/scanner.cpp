#include "xmldoc/scanner.h"

#include <initializer_list>

#include "xmldoc/unit_search.h"

namespace {

// Units that end a word, or are a word of their own: white space and the units that
// structure markup. All but the backslash are below 64, so most units cost one test.
constexpr uint64_t kWordDelimiters = (1ull << ' ') | (1ull << '\t') | (1ull << '\n') |
                                     (1ull << '\r') | (1ull << '<') | (1ull << '>') |
                                     (1ull << '=') | (1ull << '/') | (1ull << '?') | (1ull << '!') |
                                     (1ull << '"') | (1ull << '\'') | (1ull << ';');

bool IsWordDelimiter(WChar u) { return u < 64 ? ((kWordDelimiters >> u) & 1) != 0 : u == '\\'; }

// Units after which a path name may go on with a condition or a further step.
bool IsNameContinuation(WChar u) {
  return u == ' ' || u == '=' || u == '/' || u == '[' || u == ']';
}

// Sets of units below 64 as bits of one word, so that a scan tests each unit once.
constexpr uint64_t Bits(std::initializer_list<char> units) {
  uint64_t bits = 0;
  for (char u : units) bits |= uint64_t(1) << u;
  return bits;
}
// The terminating zero ends names and values too, so that a scan tests each unit once.
constexpr uint64_t kEndsAttributeName = Bits({'\0', '=', ' ', '\t', '\n', '\r', '>', '/', '?'});
constexpr uint64_t kEndsUnquotedValue = Bits({'\0', ' ', '\t', '\n', '\r', '>'});
constexpr uint64_t kSpaceUnits = Bits({' ', '\t', '\n', '\r'});

// Offset of the first unit at or after `q` that is in `ends` (units below 64 only, the
// terminator among them). Names and values are mostly letters, digits and CJK, which are
// at or above 64 but for the digits, so a block of eight is passed over when none of its
// units below 64 is in the set.
template <uint64_t ends>
VELMORA_WHOLE_BLOCK_READS int32_t FindEnd(const WChar* text, int32_t q) {
  static_assert((ends & 1) != 0, "the terminator must end every scan");
  const auto isEnd = [](WChar u) { return u < 64 && ((ends >> u) & 1) != 0; };
#if defined(__SSE2__)
  constexpr uintptr_t kPage = 4096;
  const __m128i flip = _mm_set1_epi16(static_cast<short>(0x8000));
  const __m128i below64 = _mm_set1_epi16(static_cast<short>(0x8000 + 64));
  for (;;) {
    const WChar* s = text + q;
    if ((reinterpret_cast<uintptr_t>(s) & (kPage - 1)) > kPage - 16) {
      // Near the end of a page one unit at a time, so that no load crosses it.
      if (isEnd(*s)) return q;
      ++q;
      continue;
    }
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    // Unsigned "below 64" through a signed compare of the units with their top bit flipped.
    unsigned low = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmplt_epi16(_mm_xor_si128(block, flip), below64)));
    while (low != 0) {
      const int32_t k = static_cast<int32_t>(__builtin_ctz(low) >> 1);
      if (isEnd(s[k])) return q + k;
      low &= ~(3u << (2 * k));  // both bits of that unit
    }
    q += 8;
  }
#else
  while (!isEnd(text[q])) ++q;
  return q;
#endif
}

// FindEnd<kEndsAttributeName> one unit at a time, for the names of tags and attributes,
// which are a few units long: a loop whose end the processor predicts costs less there than
// setting up a block.
int32_t SkipShortName(const WChar* text, int32_t q) {
  while (text[q] >= 64 || ((kEndsAttributeName >> text[q]) & 1) == 0) ++q;
  return q;
}

// IsWhitespace with one test per unit.
bool IsSpaceUnit(WChar u) { return u < 64 && ((kSpaceUnits >> u) & 1) != 0; }

WChar FoldToCapital(WChar u) { return u >= 'a' && u <= 'z' ? WChar(u - 'a' + 'A') : u; }

// Compares the token with the first units of `name`, reading `name` no further than its
// terminator; `nameUnit(i)` yields 0 past the end of the name.
template <typename NameUnit>
bool TokenMatches(const Scanner& scanner, NameUnit nameUnit) {
  const int32_t n = scanner.tokenEnd - scanner.tokenStart + 1;
  const WChar* token = scanner.text + scanner.tokenStart;
  const bool ignoreCase = (scanner.scanFlags & IgnoreCase) != 0;
  for (int32_t i = 0; i < n; ++i) {
    const WChar u = nameUnit(i);
    // A token unit is never 0, so the end of the name always mismatches here.
    if (u == token[i]) continue;
    if (!ignoreCase || u == 0 || FoldToCapital(u) != FoldToCapital(token[i])) return false;
  }
  const WChar next = nameUnit(n < 0 ? 0 : n);
  return next == 0 || IsNameContinuation(next);
}

// Whether the token's units are the name's first units, the name ending there or going on
// with a continuation, compared exactly. A token unit is never 0, so the comparison stops at
// the name's terminator by itself and needs no length.
bool NameMatchesExactly(const WChar* token, int32_t tokenLength, const WChar* name) {
  for (int32_t i = 0; i < tokenLength; ++i) {
    if (token[i] != name[i]) return false;
  }
  const WChar next = name[tokenLength];
  return next == 0 || IsNameContinuation(next);
}

// What TokenEquals decides, with the name's length known, which rules most tokens out
// before any unit is compared.
bool NameMatches(const WChar* token, int32_t tokenLength, const WChar* name, size_t nameLength,
                 bool ignoreCase) {
  const auto n = static_cast<size_t>(tokenLength);
  if (n > nameLength || (n < nameLength && !IsNameContinuation(name[n]))) return false;
  return ignoreCase ? CompareNoCase(token, name, tokenLength) == 0
                    : NameMatchesExactly(token, tokenLength, name);
}

}  // namespace

bool NextWord(Scanner& scanner) {
  const WChar* text = scanner.text;
  int32_t p = scanner.cursor;
  while (IsWhitespace(text[p])) ++p;
  scanner.tokenStart = p;
  scanner.tokenEnd = p - 1;
  scanner.cursor = p;
  if (text[p] == 0) return false;
  while (text[p] != 0 && !IsWordDelimiter(text[p])) ++p;
  if (p == scanner.tokenStart) ++p;  // a delimiter is a token of its own
  scanner.cursor = p;
  scanner.tokenEnd = p - 1;
  return true;
}

int32_t CompareNoCase(const WChar* a, const WChar* b, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    if (a[i] == b[i]) continue;
    const int32_t ua = FoldToCapital(a[i]);
    const int32_t ub = FoldToCapital(b[i]);
    if (ua != ub) return ua - ub;
  }
  return 0;
}

bool TokenEquals(const Scanner& scanner, const WChar* name) {
  // Units are read in order and the comparison stops at the name's terminator (which no
  // token unit equals), so nothing past the terminator is ever read.
  return TokenMatches(scanner, [&](int32_t i) { return name[i]; });
}

bool TokenEquals(const Scanner& scanner, WStringView name) {
  return TokenMatches(scanner, [&](int32_t i) {
    return static_cast<size_t>(i) < name.size() ? name[i] : WChar(0);
  });
}

bool WordEquals(const Scanner& scanner, const WChar* name, int32_t length) {
  const WChar* word = scanner.text + scanner.cursor;
  const auto general = [&] {
    Scanner copy = scanner;
    return NextWord(copy) && TokenEquals(copy, name);
  };
  // White space before the word, and a delimiter that is a word of its own, are left to
  // the general reading.
  if (length == 0 || IsWhitespace(word[0])) return general();
  const bool ignoreCase = (scanner.scanFlags & IgnoreCase) != 0;
  for (int32_t i = 0; i < length; ++i) {
    const WChar u = word[i];
    // The word ends before the name does: no match, as a name unit is never a continuation.
    if (u == 0 || IsWordDelimiter(u)) return i == 0 ? general() : false;
    if (u != name[i] && (!ignoreCase || FoldToCapital(u) != FoldToCapital(name[i]))) return false;
  }
  const WChar after = word[length];
  // A longer word can still match a name that goes on with a continuation unit.
  return after == 0 || IsWordDelimiter(after) || general();
}

WString TokenText(const Scanner& scanner) {
  if (scanner.tokenEnd < scanner.tokenStart) return WString();
  return WString(scanner.text + scanner.tokenStart, scanner.tokenEnd - scanner.tokenStart + 1);
}

bool FindAttributeInGeneral(Scanner& result, const WChar* name) {
  // Worked on as a local copy, which stays in registers, and handed back on every exit.
  Scanner scanner = result;
  scanner.plainTag = false;
  const auto finish = [&](bool found) {
    result = scanner;
    return found;
  };
  const WChar* text = scanner.text;
  // A token can only match a name it is a prefix of, ending where the name ends or goes on
  // with a continuation: most attribute names are ruled out by their length alone.
  const auto nameLength = static_cast<size_t>(FindUnit(name, 0, 0, 0));
  const bool ignoreCase = (scanner.scanFlags & IgnoreCase) != 0;
  const auto matches = [&](int32_t from, int32_t tokenLength) {
    return NameMatches(text + from, tokenLength, name, nameLength, ignoreCase);
  };
  bool tagName = true;  // the first token is the tag name and is never compared
  bool plain = true;    // what becomes scanner.plainTag
  bool expectValue = false;
  bool matched = false;
  int32_t nameStart = 0;
  int32_t nameEnd = 0;

  for (;;) {
    const int32_t before = scanner.cursor;
    int32_t p = before;
    while (IsSpaceUnit(text[p])) ++p;
    scanner.cursor = p;
    if (text[p] == 0) break;

    const WChar c = text[p];
    if (c == '"' || c == '\'') {
      const int32_t q = FindUnit(text, p + 1, c);
      scanner.tokenStart = p + 1;
      scanner.tokenEnd = q - 1;
      scanner.cursor = text[q] == 0 ? q : q + 1;
      scanner.scanFlags |= QuotedToken;
      tagName = false;
      plain = false;
      if (expectValue) {
        if (matched) return finish(true);
        expectValue = false;
        continue;
      }
      if (matched) break;  // the matching attribute had no value
      continue;
    }

    scanner.scanFlags &= ~QuotedToken;
    int32_t q = p;
    if (expectValue) {
      q = FindEnd<kEndsUnquotedValue>(text, q);
    } else {
      q = FindEnd<kEndsAttributeName>(text, q);
    }
    if (q == p) ++q;
    scanner.tokenStart = p;
    scanner.tokenEnd = q - 1;
    scanner.cursor = q;
    const bool wasTagName = tagName;
    tagName = false;

    if (expectValue) {
      if (matched) return finish(true);
      expectValue = false;
      continue;
    }
    if (c == '=') {
      plain = false;
      expectValue = true;
      continue;
    }
    if (c == '>' || c == '/' || c == '?') {
      if (c == '?' || wasTagName) plain = false;
      scanner.cursor = before;
      break;
    }
    if (matched) break;  // another name follows: the match had no value
    if (!wasTagName && matches(p, q - p)) {
      matched = true;
      nameStart = p;
      nameEnd = q;
      scanner.matchStart = before;
      scanner.matchGap = p - before;
    }
    // The usual shape, name="value" with nothing between: the "=" and the quoted value are
    // taken here, leaving the scanner as the two turns of the loop would.
    if (text[q] == '=' && (text[q + 1] == '"' || text[q + 1] == '\'')) {
      const WChar quote = text[q + 1];
      const int32_t end = FindUnit(text, q + 2, quote, quote);
      scanner.tokenStart = q + 2;
      scanner.tokenEnd = end - 1;
      scanner.cursor = text[end] == 0 ? end : end + 1;
      scanner.scanFlags |= QuotedToken;
      if (text[end] == 0) plain = false;
      if (matched) {
        scanner.plainTag = plain && !wasTagName;
        return finish(true);
      }
      if (wasTagName) plain = false;
      continue;
    }
    // Anything but the tag name, right after the "<" and ended by white space, "/" or ">",
    // leaves the plain shape.
    if (!wasTagName || p != before || (!IsSpaceUnit(text[q]) && text[q] != '/' && text[q] != '>')) {
      plain = false;
    }
  }

  if (!matched) {
    scanner.plainTag = plain;
    return finish(false);
  }
  if (expectValue) {
    // "name=" at the very end of the text: an empty value.
    scanner.tokenStart = scanner.cursor;
    scanner.tokenEnd = scanner.cursor - 1;
    return finish(true);
  }
  // The token is the bare name; a quoted token read after it does not make it quoted.
  scanner.scanFlags &= ~QuotedToken;
  scanner.tokenStart = nameStart;
  scanner.tokenEnd = nameEnd - 1;
  scanner.cursor = nameEnd;
  return finish(true);
}

bool FindAttribute(Scanner& scanner, const WChar* name) {
  // Nearly every tag of a template has one shape: the tag name, then name="value" pairs,
  // each after one space, up to "/" or ">". Such a tag is read here in one pass; at the
  // first unit of any other shape the general reading starts over from the tag's start.
  // Both leave the scanner alike.
  const WChar* text = scanner.text;
  const auto quote = [](WChar u) { return u == '"' || u == '\''; };
  if ((scanner.scanFlags & IgnoreCase) == 0 && !quote(text[scanner.cursor])) {
    int32_t p = SkipShortName(text, scanner.cursor);  // past the tag name
    while (p > scanner.cursor) {
      const WChar stop = text[p];
      if (stop == '/' || stop == '>') {
        // Not found: the list ends here, and that unit is the last token read.
        scanner.tokenStart = scanner.tokenEnd = scanner.cursor = p;
        scanner.scanFlags &= ~QuotedToken;
        scanner.plainTag = true;
        return false;
      }
      const int32_t from = p + 1;
      if (stop != ' ' || quote(text[from])) break;
      const int32_t q = SkipShortName(text, from);
      if (q == from || text[q] != '=' || !quote(text[q + 1])) break;
      const int32_t end = FindNearUnit(text, q + 2, text[q + 1]);
      if (text[end] == 0) break;
      if (NameMatchesExactly(text + from, q - from, name)) {
        scanner.tokenStart = q + 2;
        scanner.tokenEnd = end - 1;
        scanner.cursor = end + 1;
        scanner.scanFlags |= QuotedToken;
        scanner.matchStart = p;
        scanner.matchGap = 1;
        scanner.plainTag = true;
        return true;
      }
      p = end + 1;
    }
  }
  return FindAttributeInGeneral(scanner, name);
}
