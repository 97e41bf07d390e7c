#include "xmldoc/scanner.h"

#include <initializer_list>

#include "xmldoc/unit_search.h"

namespace {

bool IsWordDelimiter(WChar u) {
  switch (u) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case '<':
    case '>':
    case '=':
    case '\\':
    case '/':
    case '?':
    case '!':
    case '"':
    case '\'':
    case ';':
      return true;
    default:
      return false;
  }
}

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
constexpr uint64_t kEndsAttributeName = Bits({'=', ' ', '\t', '\n', '\r', '>', '/', '?'});
constexpr uint64_t kEndsUnquotedValue = Bits({' ', '\t', '\n', '\r', '>'});

bool EndsAttributeName(WChar u) { return u < 64 && ((kEndsAttributeName >> u) & 1) != 0; }

bool EndsUnquotedValue(WChar u) { return u < 64 && ((kEndsUnquotedValue >> u) & 1) != 0; }

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

WString TokenText(const Scanner& scanner) {
  if (scanner.tokenEnd < scanner.tokenStart) return WString();
  return WString(scanner.text + scanner.tokenStart, scanner.tokenEnd - scanner.tokenStart + 1);
}

bool FindAttribute(Scanner& scanner, const WChar* name) {
  const WChar* text = scanner.text;
  bool tagName = true;  // the first token is the tag name and is never compared
  bool expectValue = false;
  bool matched = false;
  int32_t nameStart = 0;
  int32_t nameEnd = 0;

  for (;;) {
    const int32_t before = scanner.cursor;
    int32_t p = before;
    while (IsWhitespace(text[p])) ++p;
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
      if (expectValue) {
        if (matched) return true;
        expectValue = false;
        continue;
      }
      if (matched) break;  // the matching attribute had no value
      continue;
    }

    scanner.scanFlags &= ~QuotedToken;
    int32_t q = p;
    if (expectValue) {
      while (text[q] != 0 && !EndsUnquotedValue(text[q])) ++q;
    } else {
      while (text[q] != 0 && !EndsAttributeName(text[q])) ++q;
    }
    if (q == p) ++q;
    scanner.tokenStart = p;
    scanner.tokenEnd = q - 1;
    scanner.cursor = q;
    const bool wasTagName = tagName;
    tagName = false;

    if (expectValue) {
      if (matched) return true;
      expectValue = false;
      continue;
    }
    if (c == '=') {
      expectValue = true;
      continue;
    }
    if (c == '>' || c == '/' || c == '?') {
      scanner.cursor = before;
      break;
    }
    if (matched) break;  // another name follows: the match had no value
    if (!wasTagName && TokenEquals(scanner, name)) {
      matched = true;
      nameStart = p;
      nameEnd = q;
      scanner.matchStart = before;
      scanner.matchGap = p - before;
    }
  }

  if (!matched) return false;
  if (expectValue) {
    // "name=" at the very end of the text: an empty value.
    scanner.tokenStart = scanner.cursor;
    scanner.tokenEnd = scanner.cursor - 1;
    return true;
  }
  // The token is the bare name; a quoted token read after it does not make it quoted.
  scanner.scanFlags &= ~QuotedToken;
  scanner.tokenStart = nameStart;
  scanner.tokenEnd = nameEnd - 1;
  scanner.cursor = nameEnd;
  return true;
}
