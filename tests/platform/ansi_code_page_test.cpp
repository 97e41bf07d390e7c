#include "platform/ansi_code_page.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "tests/platform/locale_environment.h"
#include "tests/support/case_file.h"

namespace platform {
namespace {

// Every row of data/locale_code_pages.txt: a locale name, or the three locale variables, and
// the code page they stand for.
TEST(AnsiCodePageTest, CodeSetOfTheFirstLocaleVariableThatIsSet) {
  for (const CaseRow& row :
       ReadCaseFile(VELMORA_SOURCE_DIR "/tests/platform/data/locale_code_pages.txt", 2, 4)) {
    SCOPED_TRACE(row.where);
    const size_t last = row.fields.size() - 1;
    ASSERT_NE(last, 2u) << "a locale name or three variables";
    std::string values[3];
    const char* variables[3] = {};  // LC_ALL, LC_CTYPE, LANG; null: unset
    for (size_t i = 0; i < last; ++i) {
      values[i] = row.Bytes(i);
      if (row.Text(i) != nullptr) variables[i] = values[i].c_str();
    }
    if (last == 1) {
      EXPECT_EQ(CodePageOfLocale(variables[0]), row.Value(1));
      std::swap(variables[0], variables[2]);  // the name alone, in LANG
    }
    LocaleEnvironment environment(variables[0], variables[1], variables[2]);
    EXPECT_EQ(AnsiCodePage(), row.Value(last));
  }
}

}  // namespace
}  // namespace platform
