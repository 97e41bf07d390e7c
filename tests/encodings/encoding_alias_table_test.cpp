#include "xmldoc/encoding_alias_table.h"

#include <gtest/gtest.h>

#include "tests/support/case_file.h"
#include "xmldoc/encodings.h"

namespace {

TEST(CodePageOfNameTest, NamesOfEveryShape) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "code_pages.txt", 2)) {
    SCOPED_TRACE(row.where);
    EXPECT_EQ(CodePageOfName(row.Text(0)), row.Value(1, {{"CodePageUtf32", CodePageUtf32}}));
  }
}

}  // namespace
