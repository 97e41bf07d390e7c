#include "platform/ansi_code_page.h"

#include <gtest/gtest.h>

#include "tests/platform/locale_environment.h"

namespace platform {
namespace {

TEST(AnsiCodePageTest, CodeSetOfTheLocaleName) {
  struct Case {
    const char* locale;
    int codePage;
  };
  const Case cases[] = {
      {nullptr, 1252},
      {"", 1252},
      {"C", 1252},
      {"POSIX", 1252},
      {"en_US", 1252},  // no code set named
      {"C.UTF-8", 65001},
      {"en_US.UTF-8", 65001},
      {"de_DE.utf8", 65001},
      {"en_US.ANSI_X3.4-1968", 1252},  // plain ASCII
      {"en_US.US-ASCII", 1252},
      {"de_DE.ISO-8859-1", 28591},
      {"de_DE.ISO-8859-15@euro", 28605},
      {"de_DE.iso885915@euro", 28605},
      {"ru_RU.KOI8-R", 20866},
      {"uk_UA.koi8u", 21866},
      {"ru_RU.CP1251", 1251},
      {"ru_RU.windows-1251", 1251},
      {"zh_CN.GB2312", 936},
      {"zh_CN.gbk", 936},
      {"zh_CN.GB18030", 54936},
      {"zh_TW.Big5", 950},
      {"ja_JP.eucJP", 20932},
      {"ja_JP.SJIS", 932},
      {"ko_KR.eucKR", 51949},
      {"th_TH.TIS-620", 874},
      {"xx_XX.NOSUCHSET", 1252},
      {"xx_XX.cp99999", 1252},  // a number that nothing converts
      {"xx_XX.cp", 1252},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale != nullptr ? c.locale : "(null)");
    EXPECT_EQ(CodePageOfLocale(c.locale), c.codePage);
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
