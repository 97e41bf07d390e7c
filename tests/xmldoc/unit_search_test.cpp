#include "xmldoc/unit_search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

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
