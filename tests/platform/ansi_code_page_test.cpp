#include "platform/ansi_code_page.h"

#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/platform/locale_environment.h"

namespace platform {
namespace {

// Every row of data/locale_code_pages.txt.
TEST(AnsiCodePageTest, CodeSetOfTheLocaleName) {
  std::ifstream table(VELMORA_SOURCE_DIR "/tests/platform/data/locale_code_pages.txt");
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    std::istringstream row(line.substr(0, line.find('#')));
    std::string locale;
    int codePage = 0;
    if (!(row >> locale >> codePage)) continue;
    ++rows;
    SCOPED_TRACE(locale);
    EXPECT_EQ(CodePageOfLocale(locale == "-"      ? nullptr
                               : locale == "\"\"" ? ""
                                                  : locale.c_str()),
              codePage);
  }
  EXPECT_GT(rows, 20);
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
