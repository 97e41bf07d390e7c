#include "xmldoc/scanner.h"

#include <cstdint>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/case_file.h"
#include "tests/support/random_below.h"
#include "xmldoc/unit_search.h"

namespace {

Scanner Over(const WChar* text, int32_t cursor = 0, uint32_t flags = 0) {
  Scanner s;
  s.text = text;
  s.cursor = cursor;
  s.scanFlags = flags;
  return s;
}

TEST(ScannerTest, NextWordSplitsAtDelimiters) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "words.txt", 1, kAnyFields)) {
    SCOPED_TRACE(row.where);
    Scanner s = Over(row.Text(0));
    std::vector<WString> words;
    while (NextWord(s)) words.push_back(TokenText(s));
    EXPECT_EQ(words, std::vector<WString>(row.fields.begin() + 1, row.fields.end()));
    EXPECT_EQ(s.tokenEnd, s.tokenStart - 1);  // the failing call leaves an empty token
  }
}

TEST(ScannerTest, TokenEqualsAllowsPathContinuations) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "token_equals.txt", 4)) {
    SCOPED_TRACE(row.where);
    Scanner s =
        Over(row.Text(0), 0, static_cast<uint32_t>(row.Value(1, {{"IgnoreCase", IgnoreCase}})));
    ASSERT_TRUE(NextWord(s));
    EXPECT_EQ(TokenEquals(s, row.Text(2)), row.Value(3) != 0);
    EXPECT_EQ(TokenEquals(s, WStringView(row[2])), row.Value(3) != 0);
  }
  // A name of known length ends where its view ends, whatever follows in memory.
  Scanner s = Over(WTEXT("items"));
  ASSERT_TRUE(NextWord(s));
  EXPECT_TRUE(TokenEquals(s, WStringView(WTEXT("itemsXYZ"), 5)));
}

TEST(ScannerTest, FindAttributeReadsValuesInPlace) {
  const char* const positions[] = {"cursor", "matchStart", "matchGap", "tokenStart", "tokenEnd"};
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "find_attribute.txt", 4, 9)) {
    SCOPED_TRACE(row.where);
    Scanner s = Over(row.Text(0), 1);
    ASSERT_EQ(FindAttribute(s, row.Text(1)), row.Text(2) != nullptr);
    const int32_t at[] = {s.cursor, s.matchStart, s.matchGap, s.tokenStart, s.tokenEnd};
    for (size_t i = 4; i < row.fields.size(); ++i) {
      if (row.Text(i) == nullptr) continue;  // not checked
      EXPECT_EQ(at[i - 4], row.Value(i)) << positions[i - 4];
    }
    if (row.Text(2) == nullptr) continue;
    EXPECT_EQ(TokenText(s), row[2]);
    EXPECT_EQ((s.scanFlags & QuotedToken) != 0, row.Value(3) != 0);
  }
}

// The finds compare tag names through WordEquals; it must decide as the general reading
// does on every word, odd ones included: white space first, delimiters inside the name,
// words that go on past the name, names with a continuation, both cases of letters.
TEST(ScannerTest, WordEqualsDecidesAsNextWordAndTokenEquals) {
  const WChar kUnits[] = {'a', 'A', 'b', ' ', '?', '<', '/', '[', ']', '=', 0x4E2D};
  RandomBelow next{7};
  auto randomText = [&](uint32_t most) {
    WString text;
    for (uint32_t n = next(most + 1); n-- != 0;) text += kUnits[next(std::size(kUnits))];
    return text;
  };
  for (int round = 0; round < 200000; ++round) {
    const WString word = randomText(5);
    const WString name = randomText(4);
    int32_t length = 0;  // the first name: up to a unit that ends a path name
    while (length < static_cast<int32_t>(name.size()) &&
           WStringView(WTEXT(" =/[]")).find(name[length]) == WStringView::npos) {
      ++length;
    }
    Scanner scanner;
    scanner.text = word.c_str();
    scanner.scanFlags = next(2) != 0 ? uint32_t{IgnoreCase} : 0u;
    Scanner general = scanner;
    const bool expected = NextWord(general) && TokenEquals(general, name.c_str());
    SCOPED_TRACE(testing::Message() << "round " << round);
    ASSERT_EQ(WordEquals(scanner, name.c_str(), length), expected);
  }
}

// FindAttribute reads the common shape of tag on its own path; on every tag, common or
// not, it must leave the scanner exactly as the general reading does.
TEST(ScannerTest, FindAttributeAgreesWithTheGeneralReadingOnEveryTag) {
  const WChar* const kPieces[] = {WTEXT("a"),   WTEXT("v"),   WTEXT("value"), WTEXT(" "),
                                  WTEXT("\t"),  WTEXT("="),   WTEXT("\""),    WTEXT("'"),
                                  WTEXT("/"),   WTEXT(">"),   WTEXT("?"),     WTEXT("=\""),
                                  WTEXT("\" "), WTEXT("[1]"), WTEXT("\u4e2d")};
  const WChar* const names[] = {WTEXT("a"), WTEXT("v"), WTEXT("value"), WTEXT("v[1]"), WTEXT("A")};
  RandomBelow next{99};
  for (int round = 0; round < 200000; ++round) {
    WString text = next(4) != 0 ? WTEXT("item") : WTEXT("");
    for (uint32_t n = next(10); n-- != 0;) text += kPieces[next(std::size(kPieces))];
    Scanner fast;
    fast.text = text.c_str();
    fast.scanFlags = next(4) == 0 ? uint32_t{IgnoreCase} : 0u;
    fast.matchStart = 77;  // left as it was when nothing matches
    Scanner general = fast;
    const WChar* name = names[next(std::size(names))];
    SCOPED_TRACE(testing::Message() << "round " << round);
    ASSERT_EQ(FindAttribute(fast, name), FindAttributeInGeneral(general, name));
    ASSERT_EQ(fast.tokenStart, general.tokenStart);
    ASSERT_EQ(fast.tokenEnd, general.tokenEnd);
    ASSERT_EQ(fast.cursor, general.cursor);
    ASSERT_EQ(fast.scanFlags, general.scanFlags);
    ASSERT_EQ(fast.matchStart, general.matchStart);
    ASSERT_EQ(fast.matchGap, general.matchGap);
    ASSERT_EQ(fast.plainTag, general.plainTag);
  }
}

// The block searches against a one-by-one search, from every start offset and with the
// wanted unit at every position, over a text whose terminator is the last unit of a page,
// so that the steps near the end of a page run too.
TEST(UnitSearchTest, BlockSearchesFindWhatOneByOneSearchFinds) {
  constexpr uintptr_t kPage = 4096;
  constexpr int32_t kLength = 40;
  std::vector<WChar> storage(3 * kPage / sizeof(WChar));
  const auto pageEnd = (reinterpret_cast<uintptr_t>(storage.data()) + 2 * kPage) & ~(kPage - 1);
  WChar* const text = reinterpret_cast<WChar*>(pageEnd) - (kLength + 1);
  for (int32_t wanted = 0; wanted <= kLength; ++wanted) {
    for (int32_t i = 0; i < kLength; ++i)
      text[i] = static_cast<WChar>(i == wanted ? 'x' : 0x4E00 + i);
    text[kLength] = 0;
    for (int32_t start = 0; start <= kLength; ++start) {
      SCOPED_TRACE(::testing::Message() << "wanted " << wanted << " start " << start);
      int32_t expected = start;
      while (text[expected] != 'x' && text[expected] != 0) ++expected;
      EXPECT_EQ(FindUnit(text, start, 'x'), expected);
      EXPECT_EQ(FindUnit(text, start, 'x', '>'), expected);
      EXPECT_EQ(FindUnit(text, start, '>', 'x'), expected);
      EXPECT_EQ(FindUnit(text, start, 0, 0), kLength);
    }
  }
}

}  // namespace
