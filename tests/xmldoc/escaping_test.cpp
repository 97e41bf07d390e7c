#include "xmldoc/escaping.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

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

TEST(EscapingTest, UnescapeTextDecodesReferences) {
  struct Case {
    const WChar* input;
    const WChar* expected;
  };
  const Case cases[] = {
      {WTEXT("&lt;&GT;&Amp;"), WTEXT("<>&")},
      {WTEXT("&#65;&#x42;&#X43;"), WTEXT("ABC")},
      {WTEXT("&#x1F600;"), WTEXT("\xD83D\xDE00")},
      {WTEXT("a&apos;b&quot;"), WTEXT("a'b\"")},
      {WTEXT("&#65x;"), WTEXT("A")},                  // digits stop at the first non-digit
      {WTEXT("&#x0x41;"), WTEXT("A")},                // wcstol accepts a "0x" prefix in base 16
      {WTEXT("&#12345678;"), WTEXT("\xDAD8\xDD4E")},  // bits above 16: a pair, as computed
      {WTEXT("&thetasym;x"), WTEXT("\u03d1x")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
    EXPECT_EQ(UnescapeText(c.input, -1), c.expected);
  }
}

TEST(EscapingTest, NonReferencesComeBackUnchanged) {
  const WChar* unchanged[] = {
      WTEXT("&#0;"), WTEXT("&bogus;"), WTEXT("&amp"),     WTEXT("&abcdefghij;"),
      WTEXT("&"),    WTEXT("a & b"),   WTEXT("&\u00e9;"), WTEXT("&#x;"),
      WTEXT("&;"),   WTEXT("&#;"),     WTEXT("&&lt"),     WTEXT("&lt &gt"),
  };
  for (const WChar* text : unchanged) {
    SCOPED_TRACE(testing::Message() << "case #" << (&text - unchanged));
    EXPECT_EQ(UnescapeText(text, -1), text);
  }
  // Nine units of name are accepted when ";" follows at once.
  EXPECT_EQ(UnescapeText(WTEXT("&#00000065;"), -1), WTEXT("A"));
  EXPECT_EQ(UnescapeText(WTEXT("&#000000065;"), -1), WTEXT("&#000000065;"));
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
