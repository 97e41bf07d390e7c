// What the conversion gives on every system: the Windows converter's results, which the iconv
// one off Windows reproduces except where a case says otherwise.
#include "platform/code_page_conversion.h"

#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/platform/convert.h"

namespace platform {
namespace {

// A few characters typical of each code page, as that code page encodes them.
TEST(CodePageConversionTest, EveryMappedCodePageDecodesItsScript) {
  struct Case {
    int codePage;
    std::string bytes;
    WString text;
  };
  const Case cases[] = {
      {154, "\x41\x99\xad", WTEXT("\x0041\x04B7\x04EF")},          // Aҷӯ
      {437, "\x82\x9b\xb0", WTEXT("\x00E9\x00A2\x2591")},          // é¢░
      {708, "\x41\xd9\xc8", WTEXT("\x0041\x0639\x0628")},          // Aعب
      {737, "\x97\xe0", WTEXT("\x03A9\x03C9")},                    // Ωω
      {775, "\xb5\xc6", WTEXT("\x0104\x0172")},                    // ĄŲ
      {850, "\x9b\x92", WTEXT("\x00F8\x00C6")},                    // øÆ
      {852, "\x9d\xe6", WTEXT("\x0141\x0160")},                    // ŁŠ
      {855, "\x81\x80", WTEXT("\x0402\x0452")},                    // Ђђ
      {857, "\xa7\x9e", WTEXT("\x011F\x015E")},                    // ğŞ
      {858, "\xd5\x9b", WTEXT("\x20AC\x00F8")},                    // €ø
      {860, "\x84\x94", WTEXT("\x00E3\x00F5")},                    // ãõ
      {861, "\x8c\x8d", WTEXT("\x00F0\x00DE")},                    // ðÞ
      {862, "\x80\x81", WTEXT("\x05D0\x05D1")},                    // אב
      {863, "\x8a\x84", WTEXT("\x00E8\x00C2")},                    // èÂ
      {864, "\x41\x80", WTEXT("\x0041\x00B0")},                    // A°
      {865, "\x9b\x9d", WTEXT("\x00F8\x00D8")},                    // øØ
      {866, "\x80\xa6", WTEXT("\x0410\x0436")},                    // Аж
      {869, "\xd5\x9b", WTEXT("\x03A9\x03AC")},                    // Ωά
      {874, "\xa1\xa2", WTEXT("\x0E01\x0E02")},                    // กข
      {932, "\x93\xfa\x96\x7b\xb1", WTEXT("\x65E5\x672C\xFF71")},  // 日本ｱ
      {936, "\xc4\xe3\xba\xc3", WTEXT("\x4F60\x597D")},            // 你好
      {949, "\xc7\xd1\xb1\xb9", WTEXT("\xD55C\xAD6D")},            // 한국
      {950, "\xa4\xa4\xa4\xe5", WTEXT("\x4E2D\x6587")},            // 中文
      {1125, "\xf2\xf5", WTEXT("\x0490\x0454")},                   // Ґє
      {1133, "\xa1\xa2", WTEXT("\x0E81\x0E82")},                   // ກຂ
      {1250, "\xa3\x8a", WTEXT("\x0141\x0160")},                   // ŁŠ
      {1251, "\xc0\xe6", WTEXT("\x0410\x0436")},                   // Аж
      {1252, "\x80\xe9", WTEXT("\x20AC\x00E9")},                   // €é
      {1253, "\xd9\xdc", WTEXT("\x03A9\x03AC")},                   // Ωά
      {1254, "\xf0\xde", WTEXT("\x011F\x015E")},                   // ğŞ
      {1255, "\xe0\xe1", WTEXT("\x05D0\x05D1")},                   // אב
      {1256, "\xda\xc8", WTEXT("\x0639\x0628")},                   // عب
      {1257, "\xc0\xd8", WTEXT("\x0104\x0172")},                   // ĄŲ
      {1258, "\xc3\xd0", WTEXT("\x0102\x0110")},                   // ĂĐ
      {1361, "\xd0\x65\x8a\x82", WTEXT("\xD55C\xAD6D")},           // 한국
      {10000, "\x8e\xb9", WTEXT("\x00E9\x03C0")},                  // éπ
      {10007, "\x80\xe6", WTEXT("\x0410\x0436")},                  // Аж
      {10017, "\xa2\xe6", WTEXT("\x0490\x0436")},                  // Ґж
      {10029, "\xfc\xe1", WTEXT("\x0141\x0160")},                  // ŁŠ
      {10079, "\xde\xdf\x8e", WTEXT("\x00DE\x00FE\x00E9")},        // Þþé
      {20106, "\x5b\x5c\x7d", WTEXT("\x00C4\x00D6\x00FC")},        // ÄÖü
      {20107, "\x5b\x5c\x7d", WTEXT("\x00C4\x00D6\x00E5")},        // ÄÖå
      {20108, "\x5b\x5c\x7d", WTEXT("\x00C6\x00D8\x00E5")},        // ÆØå
      {20127, "\x41\x7a\x7e", WTEXT("\x0041\x007A\x007E")},        // Az~
      {20261, "\x41\xa3", WTEXT("\x0041\x00A3")},                  // A£
      {20269, "\xc2\x65\xa3", WTEXT("\x00E9\x00A3")},              // é£
      {20866, "\xe1\xd6", WTEXT("\x0410\x0436")},                  // Аж
      {20932, "\xc6\xfc\xcb\xdc", WTEXT("\x65E5\x672C")},          // 日本
      {20936, "\xc4\xe3\xba\xc3", WTEXT("\x4F60\x597D")},          // 你好
      {20949, "\xc7\xd1\xb1\xb9", WTEXT("\xD55C\xAD6D")},          // 한국
      {21866, "\xbd\xa4", WTEXT("\x0490\x0454")},                  // Ґє
      {28591, "\xe9\xff", WTEXT("\x00E9\x00FF")},                  // éÿ
      {28592, "\xa3\xa9", WTEXT("\x0141\x0160")},                  // ŁŠ
      {28593, "\xa1\xf8\xd8", WTEXT("\x0126\x011D\x011C")},        // ĦĝĜ
      {28594, "\xc0\xa2\xa3", WTEXT("\x0100\x0138\x0156")},        // ĀĸŖ
      {28595, "\xb0\xd6", WTEXT("\x0410\x0436")},                  // Аж
      {28596, "\xd9\xc8", WTEXT("\x0639\x0628")},                  // عب
      {28597, "\xd9\xdc", WTEXT("\x03A9\x03AC")},                  // Ωά
      {28598, "\xe0\xe1", WTEXT("\x05D0\x05D1")},                  // אב
      {28599, "\xf0\xde", WTEXT("\x011F\x015E")},                  // ğŞ
      {28603, "\xc0\xd8\xa1", WTEXT("\x0104\x0172\x201D")},        // ĄŲ”
      {28605, "\xa4\xa6", WTEXT("\x20AC\x0160")},                  // €Š
      {38598, "\xe0\xe1", WTEXT("\x05D0\x05D1")},                  // אב
      {50220, "\x41\x1b\x24\x42\x46\x7c\x4b\x5c\x1b\x28\x42",
       WTEXT("\x0041\x65E5\x672C")},  // A日本
      {50221, "\x1b\x24\x42\x46\x7c\x1b\x28\x49\x31\x1b\x28\x42", WTEXT("\x65E5\xFF71")},  // 日ｱ
      {50222, "\x1b\x24\x42\x46\x7c\x4b\x5c\x1b\x28\x42", WTEXT("\x65E5\x672C")},          // 日本
      {50225, "\x1b\x24\x29\x43\x0e\x47\x51\x31\x39\x0f", WTEXT("\xD55C\xAD6D")},          // 한국
      {50227, "\x1b\x24\x29\x41\x0e\x44\x63\x3a\x43\x0f", WTEXT("\x4F60\x597D")},          // 你好
      {51932, "\xc6\xfc\xcb\xdc", WTEXT("\x65E5\x672C")},                                  // 日本
      {51936, "\xc4\xe3\xba\xc3", WTEXT("\x4F60\x597D")},                                  // 你好
      {51949, "\xc7\xd1\xb1\xb9", WTEXT("\xD55C\xAD6D")},                                  // 한국
      {54936, "\xc4\xe3\x94\x39\xfc\x36", WTEXT("\x4F60\xD83D\xDE00")},  // 你😀
      {65000, "\x41\x2b\x49\x4b\x77\x2d", WTEXT("\x0041\x20AC")},        // A€
      {65001, "\xc3\xa9\xf0\x9f\x98\x80", WTEXT("\x00E9\xD83D\xDE00")},  // é😀
  };
  std::vector<int> absent;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code page " << c.codePage);
#ifdef _WIN32
    // Wine lacks tables that Windows has (the EUC, ISO-2022 and GB18030 ones among them); a
    // code page that converts not even "A" says nothing about the results.
    if (ConvertToUtf16(c.codePage, "A", 1, nullptr, 0) == 0) {
      absent.push_back(c.codePage);
      continue;
    }
#endif
    EXPECT_EQ(Convert(c.codePage, c.bytes), c.text);
  }
  if (!absent.empty()) {
    std::cout << "code pages this system does not convert:";
    for (int codePage : absent) std::cout << ' ' << codePage;
    std::cout << '\n';
  }
  EXPECT_LT(absent.size(), std::size(cases) / 2);
}

TEST(CodePageConversionTest, InvalidBytesBecomeReplacementCharacters) {
  // Where the system's converter (Wine's, in the tests) answers otherwise, `systemText` holds
  // its answer: its tables give a few bytes that iconv rejects a character of their own.
  struct Case {
    int codePage;
    std::string bytes;
    WString text;
    WString systemText = WString();
  };
  const Case cases[] = {
      {65001,
       "A\xFF"
       "B",
       WTEXT("A\xFFFD"
             "B")},
      {65001, "\xC3", WTEXT("\xFFFD")},        // cut short at the end
      {65001, "A\xE4\xBD", WTEXT("A\xFFFD")},  // cut short at the end
      {65001,
       "\xC0\xAF"
       "x",
       WTEXT("\xFFFD\xFFFD"
             "x")},  // overlong
      // An encoded surrogate: three replacements, one per byte; Wine's converter gives two.
      {65001, "\xED\xA0\x80", WTEXT("\xFFFD\xFFFD\xFFFD"), WTEXT("\xFFFD\xFFFD")},
      // The system's US-ASCII drops the eighth bit; its code page 936 maps 0xFF to U+F8F5.
      {20127, "a\x80z", WTEXT("a\xFFFDz"), WString(WTEXT("a\0z"), 3)},
      {936, "\xC4\xE3\xFF\xC4\xE3", WTEXT("\x4F60\xFFFD\x4F60"), WTEXT("\x4F60\xF8F5\x4F60")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code page " << c.codePage);
#ifdef _WIN32
    EXPECT_EQ(Convert(c.codePage, c.bytes), c.systemText.empty() ? c.text : c.systemText);
#else
    EXPECT_EQ(Convert(c.codePage, c.bytes), c.text);
#endif
  }
}

TEST(CodePageConversionTest, UtfSixteenAndThirtyTwoAndUnknownCodePagesGiveNothing) {
  // The Windows converter refuses the UTF-16 and UTF-32 code pages; the engine decodes those
  // itself.
  for (int codePage : {1200, 1201, 12000, 12001, 99999, -1}) {
    SCOPED_TRACE(testing::Message() << "code page " << codePage);
    WChar buffer[4] = {'-', '-', '-', '-'};
    EXPECT_EQ(ConvertToUtf16(codePage, "AB\0\0", 4, nullptr, 0), 0);
    EXPECT_EQ(ConvertToUtf16(codePage, "AB\0\0", 4, buffer, 4), 0);
    EXPECT_EQ(buffer[0], '-');
  }
}

TEST(CodePageConversionTest, MeasuresThenConvertsWithinRoom) {
  const std::string bytes(10000, 'x');  // more than one internal chunk
  EXPECT_EQ(ConvertToUtf16(65001, bytes.data(), 10000, nullptr, 0), 10000);
  WString text(10000, WChar{});
  EXPECT_EQ(ConvertToUtf16(65001, bytes.data(), 10000, text.data(), 10000), 10000);
  EXPECT_EQ(text, WString(10000, 'x'));

  // Too little room gives nothing and writes nothing.
  WChar small[2] = {'-', '-'};
  EXPECT_EQ(ConvertToUtf16(65001, "abc", 3, small, 2), 0);
  EXPECT_EQ(small[0], '-');

  EXPECT_EQ(ConvertToUtf16(65001, "abc", 0, nullptr, 0), 0);
  EXPECT_EQ(ConvertToUtf16(65001, nullptr, 3, nullptr, 0), 0);
}

}  // namespace
}  // namespace platform
