#include "xmldoc/escaping.h"

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/case_file.h"
#include "xmldoc/entity_table.h"

namespace {

std::string Fold(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// Over the list the table was generated from: name and code point per line.
TEST(EntityTableTest, EveryNameDecodesAndCapitalFormsWin) {
  const std::vector<CaseRow> list = ReadCaseFile(VELMORA_ENTITY_LIST, 2);
  ASSERT_GT(list.size(), 200u);  // the list was found and read
  // For each folded name, the code point of the form with a capital letter when there is one.
  std::map<std::string, int64_t> winner;
  for (const CaseRow& row : list) {
    const std::string folded = Fold(row.Bytes(0));
    if (row.Bytes(0) != folded || !winner.count(folded)) winner[folded] = row.Value(1);
  }
  for (const CaseRow& row : list) {
    SCOPED_TRACE(row.where);
    const WString decoded = UnescapeText((WTEXT("&") + row[0] + WTEXT(";")).c_str(), -1);
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0], winner[Fold(row.Bytes(0))]);
  }
  EXPECT_EQ(UnescapeText(WTEXT("&oslash;&Oslash;&darr;&prime;&dagger;&yuml;"), -1),
            WTEXT("\u00d8\u00d8\u21d3\u2033\u2021\u0178"));
  EXPECT_EQ(LookUpEntity(WTEXT("thetasym"), 8), 977u);
  EXPECT_EQ(LookUpEntity(WTEXT("Lt"), 2), 0u);  // lookup takes folded names only
}

TEST(EscapingTest, EscapeTextReplacesTheFiveCharacters) {
  EXPECT_EQ(EscapeText(WTEXT("a<b & \"c\" 'd'>&amp;\u4e2d")),
            WTEXT("a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;&amp;amp;\u4e2d"));
  EXPECT_EQ(EscapeText(WTEXT("")), WTEXT(""));
}

TEST(EscapingTest, UnescapeTextDecodesReferencesAndNothingElse) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "unescape.txt", 2, 3)) {
    SCOPED_TRACE(row.where);
    const auto length = static_cast<int32_t>(row.fields.size() > 2 ? row.Value(2) : -1);
    EXPECT_EQ(UnescapeText(row.Text(0), length), row[1]);
  }
  const WChar unterminated[] = {'a', '&', 'g', 't', ';'};  // no terminator at all
  EXPECT_EQ(UnescapeText(unterminated, 5), WTEXT("a>"));
}

}  // namespace

// The one-pass escape reads a block at a time and stops at the terminator or the limit; it
// must agree with EscapeText at every length around the limit, wherever the references fall
// and wherever the text ends on its page.
TEST(EscapingTest, EscapeTerminatedIntoAgreesWithEscapeText) {
  constexpr size_t kLimit = 24;
  constexpr size_t kPageUnits = 4096 / sizeof(WChar);
  // Two pages, the first ending where the texts placed at its end end.
  alignas(4096) static WChar pages[2 * kPageUnits];
  const WChar kUnits[] = {'a', '<', '&', '>', '\'', '"', 0x4e2d};
  for (size_t length = 0; length <= kLimit + 9; ++length) {
    for (size_t special = 0; special <= length; ++special) {
      for (const bool atPageEnd : {false, true}) {
        SCOPED_TRACE(testing::Message() << "length " << length << ", reference at " << special
                                        << (atPageEnd ? ", ending a page" : ""));
        WChar* const text = atPageEnd ? pages + kPageUnits - (length + 1) : pages + 3;
        for (size_t i = 0; i < length; ++i) text[i] = kUnits[(i * 3 + length) % 7 == 0 ? 6 : 0];
        if (special < length) text[special] = kUnits[1 + special % 5];
        text[length] = 0;
        WChar out[kLimit * kLongestReference + kEscapeBlockSlack];
        const WChar* const end = EscapeTerminatedInto(text, kLimit, out);
        if (length > kLimit) {
          EXPECT_EQ(end, nullptr);
        } else {
          ASSERT_NE(end, nullptr);
          EXPECT_EQ(WString(static_cast<const WChar*>(out), end), EscapeText(text));
        }
      }
    }
  }
}
