// The iconv side of the conversion: what iconv cannot convert, and the locale environment
// that stands for the system's ANSI code page.
#include <string>

#include <gtest/gtest.h>

#include "platform/code_page_conversion.h"
#include "platform/code_page_names.h"
#include "tests/platform/convert.h"
#include "tests/platform/locale_environment.h"

namespace platform {
namespace {

TEST(CodePageIconvTest, CodePagesWithoutCounterpartGiveNothing) {
  // Names the alias table knows but iconv has no converter for; the UTF-16 and UTF-32 ones
  // are checked with the conversion on every system.
  const int codePages[] = {720,   853,   10001, 10002, 10003, 10004, 10005, 10006, 10008,
                           10010, 10021, 10081, 10082, 20000, 20001, 20002, 20003, 20004,
                           20005, 20105, 29001, 52936, 57002, 57003, 57004, 57005, 57006,
                           57007, 57008, 57009, 57010, 57011, 65005};
  for (int codePage : codePages) {
    SCOPED_TRACE(testing::Message() << "code page " << codePage);
    EXPECT_EQ(IconvNameOfCodePage(codePage), nullptr);
    WChar buffer[4] = {};
    EXPECT_EQ(ConvertToUtf16(codePage, "AB", 2, nullptr, 0), 0);
    EXPECT_EQ(ConvertToUtf16(codePage, "AB", 2, buffer, 4), 0);
  }
}

TEST(CodePageIconvTest, CodePageZeroIsTheLocaleCodeSet) {
  {
    LocaleEnvironment environment(nullptr, nullptr, "ru_RU.CP1251");
    EXPECT_EQ(Convert(0, "\xC0\xE6"), WTEXT("\x0410\x0436"));
  }
  {
    LocaleEnvironment environment(nullptr, nullptr, nullptr);  // windows-1252
    EXPECT_EQ(Convert(0, "\x80\xE9"), WTEXT("\x20AC\x00E9"));
  }
}

}  // namespace
}  // namespace platform
