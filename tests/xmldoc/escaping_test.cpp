#include "xmldoc/escaping.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/case_file.h"
#include "xmldoc/entity_table.h"

namespace {

WString Widen(const std::string& s) { return WString(s.begin(), s.end()); }

// The entity list the table was generated from: name and code point per line.
std::map<std::string, uint32_t> ReadEntityList() {
  std::ifstream in(VELMORA_ENTITY_LIST);
  std::map<std::string, uint32_t> entities;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name;
    uint32_t value = 0;
    fields >> name >> value;
    entities[name] = value;
  }
  return entities;
}

std::string Fold(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

TEST(EntityTableTest, EveryNameDecodesAndCapitalFormsWin) {
  const std::map<std::string, uint32_t> list = ReadEntityList();
  // For each folded name, the code point of the form with a capital letter when there is one.
  std::map<std::string, uint32_t> winner;
  for (const auto& [name, value] : list) {
    const std::string folded = Fold(name);
    if (name != folded || !winner.count(folded)) winner[folded] = value;
  }
  ASSERT_GT(list.size(), 200u);  // the list was found and read

  for (const auto& [name, value] : list) {
    SCOPED_TRACE(name);
    const WString decoded = UnescapeText(Widen("&" + name + ";").c_str(), -1);
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(decoded[0]), winner[Fold(name)]);
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
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "unescape.txt")) {
    SCOPED_TRACE(row.where);
    EXPECT_EQ(UnescapeText(row.Text(0), -1), row[1]);
  }
}

TEST(EscapingTest, UnescapeTextHonoursTheLength) {
  // The length cuts the input: a reference whose ";" lies beyond it is not one.
  EXPECT_EQ(UnescapeText(WTEXT("&lt;x"), 3), WTEXT("&lt"));
  EXPECT_EQ(UnescapeText(WTEXT("&lt;x"), 4), WTEXT("<"));
  EXPECT_EQ(UnescapeText(WTEXT("abc"), 0), WTEXT(""));
  EXPECT_EQ(UnescapeText(WTEXT("abc"), -5), WTEXT(""));
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
