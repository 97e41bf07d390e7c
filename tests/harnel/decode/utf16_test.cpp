#include "harnel/decode/utf16.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf16Test, ConvertsBothWaysIncludingSurrogatePairs) {
  struct Case {
    std::string utf8;
    WString utf16;
  };
  const Case cases[] = {
      {"", WTEXT("")},
      {"Disk 0", WTEXT("Disk 0")},
      {"Fixed\thard disk media", WTEXT("Fixed\thard disk media")},
      {"操作系统名称：", WTEXT("操作系统名称：")},
      {"\xC3\xA9", WString{0x00E9}},
      {"\xF0\xA0\x80\x80", WString{0xD840, 0xDC00}},                    // U+20000
      {"\xF0\x9F\x96\xA5 pc", WString{0xD83D, 0xDDA5, ' ', 'p', 'c'}},  // U+1F5A5
      {"\xF4\x8F\xBF\xBF", WString{0xDBFF, 0xDFFF}},                    // U+10FFFF
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(harnel::decode::Utf8ToUtf16(c.utf8), c.utf16);
    EXPECT_EQ(harnel::decode::Utf16ToUtf8(c.utf16), c.utf8);
  }
}

// Lone surrogates become U+FFFD; what is not UTF-8 is checked with the cleaning of texts.
TEST(Utf16Test, LoneSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(harnel::decode::Utf16ToUtf8(WString{0xD800}), "\xEF\xBF\xBD");
  EXPECT_EQ(harnel::decode::Utf16ToUtf8(WString{0xDC00, 'x'}), "\xEF\xBF\xBDx");
  EXPECT_EQ(harnel::decode::Utf16ToUtf8(WString{0xD800, 0xD800, 0xDC00}),
            "\xEF\xBF\xBD\xF0\x90\x80\x80");
}

}  // namespace
