#include "pairs/format_number.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

TEST(FormatNumberTest, DecimalWithoutPaddingOrGroupingInsideItsText) {
  struct Case {
    const WChar* format;
    int32_t value;
    const WChar* expected;
  };
  const Case cases[] = {
      {WTEXT("%d"), 0, WTEXT("0")},
      {WTEXT("%d"), -7, WTEXT("-7")},
      {WTEXT("%d"), 1234567890, WTEXT("1234567890")},
      {WTEXT("%d"), INT32_MIN, WTEXT("-2147483648")},
      {WTEXT("%d"), INT32_MAX, WTEXT("2147483647")},
      {WTEXT("%d Mhz"), 1600, WTEXT("1600 Mhz")},
      {WTEXT("100%%: %d%"), 5, WTEXT("100%: 5%")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
    WChar buffer[100];
    FormatNumber(buffer, c.format, c.value);
    EXPECT_EQ(WString(buffer), c.expected);
  }
}

}  // namespace
