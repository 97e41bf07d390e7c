#include "pairs/format_number.h"

#include <gtest/gtest.h>

#include "tests/support/case_file.h"

namespace {

TEST(FormatNumberTest, DecimalWithoutPaddingOrGroupingInsideItsText) {
  for (const CaseRow& row :
       ReadCaseFile(VELMORA_SOURCE_DIR "/tests/pairs/data/format_numbers.txt", 3)) {
    SCOPED_TRACE(row.where);
    WChar buffer[100];
    FormatNumber(buffer, row.Text(0), static_cast<int32_t>(row.Value(1)));
    EXPECT_EQ(WString(buffer), row[2]);
  }
}

}  // namespace
