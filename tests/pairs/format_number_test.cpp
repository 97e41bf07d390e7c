#include "pairs/format_number.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

WString Format(const WChar* format, int32_t value) {
  WChar buffer[100];
  FormatNumber(buffer, format, value);
  return buffer;
}

TEST(FormatNumberTest, DecimalWithoutPaddingOrGrouping) {
  EXPECT_EQ(Format(WTEXT("%d"), 2048), WTEXT("2048"));
  EXPECT_EQ(Format(WTEXT("%d"), 0), WTEXT("0"));
  EXPECT_EQ(Format(WTEXT("%d"), -7), WTEXT("-7"));
  EXPECT_EQ(Format(WTEXT("%d"), 1234567890), WTEXT("1234567890"));
  EXPECT_EQ(Format(WTEXT("%d"), INT32_MIN), WTEXT("-2147483648"));
  EXPECT_EQ(Format(WTEXT("%d"), INT32_MAX), WTEXT("2147483647"));
}

TEST(FormatNumberTest, UnitFormatsKeepTheirText) {
  struct Case {
    const WChar* format;
    int32_t value;
    const WChar* expected;
  };
  const Case cases[] = {
      {WTEXT("%d MB"), 4096, WTEXT("4096 MB")},   {WTEXT("%d KB"), 512, WTEXT("512 KB")},
      {WTEXT("%d Hz"), 60, WTEXT("60 Hz")},       {WTEXT("%d M"), 8192, WTEXT("8192 M")},
      {WTEXT("%d Mhz"), 1600, WTEXT("1600 Mhz")}, {WTEXT("%d bit"), 64, WTEXT("64 bit")},
      {WTEXT("100%%: %d"), 5, WTEXT("100%: 5")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "value " << c.value);
    EXPECT_EQ(Format(c.format, c.value), c.expected);
  }
}

}  // namespace
