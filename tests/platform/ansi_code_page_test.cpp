#include "platform/ansi_code_page.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/platform/locale_environment.h"
#include "tests/support/case_file.h"

namespace platform {
namespace {

// Every row of data/locale_code_pages.txt.
TEST(AnsiCodePageTest, CodeSetOfTheLocaleName) {
  for (const CaseRow& row :
       ReadCaseFile(VELMORA_SOURCE_DIR "/tests/platform/data/locale_code_pages.txt", 2)) {
    SCOPED_TRACE(row.where);
    const std::string locale = row.Bytes(0);
    EXPECT_EQ(CodePageOfLocale(row.Text(0) != nullptr ? locale.c_str() : nullptr), row.Value(1));
  }
}

TEST(AnsiCodePageTest, FirstLocaleVariableThatIsSetWins) {
  struct Case {
    const char* lcAll;
    const char* lcCtype;
    const char* lang;
    int codePage;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, 1252},
      {nullptr, nullptr, "ru_RU.KOI8-R", 20866},
      {nullptr, "ru_RU.CP1251", "ru_RU.KOI8-R", 1251},
      {"en_US.UTF-8", "ru_RU.CP1251", "ru_RU.KOI8-R", 65001},
      {"", "", "ru_RU.KOI8-R", 20866},  // empty variables count as unset
      {"C", "ru_RU.CP1251", nullptr, 1252},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "expected " << c.codePage);
    LocaleEnvironment environment(c.lcAll, c.lcCtype, c.lang);
    EXPECT_EQ(AnsiCodePage(), c.codePage);
  }
}

}  // namespace
}  // namespace platform
