// The Windows services behind the platform layer, as a Windows program (or Wine) gives them.

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "filler/template_path.h"
#include "platform/ansi_code_page.h"
#include "platform/code_page_conversion.h"
#include "platform/host_path.h"
#include "platform/open_file.h"
#include "platform/system_error.h"
#include "tests/platform/convert.h"
#include "tests/platform/locale_environment.h"
#include "tests/support/case_file.h"
#include "tests/support/scratch_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(PlatformWinTest, HostPathIsTheExecutableWithBackslashes) {
  const WString path = HostProgramPath();
  ASSERT_GE(path.size(), 3u);
  EXPECT_EQ(path.substr(1, 2), WTEXT(":\\"));  // a drive, not a Unix path
  EXPECT_TRUE(path.ends_with(WTEXT("\\platform_test.exe")));
  EXPECT_EQ(path.find('/'), WString::npos);

  // Templates lie in hardinfo beside it, joined with backslashes.
  const WString folder = path.substr(0, path.rfind('\\'));
  EXPECT_EQ(velmora::TemplatePath(path, WTEXT("os.xml")), folder + WTEXT("\\hardinfo\\os.xml"));
}

TEST(PlatformWinTest, CodePageZeroIsTheSystemsAnsiCodePage) {
  const int ansi = AnsiCodePage();
  EXPECT_GT(ansi, 0);
  const std::string bytes = "A\x80\xE9\xC4\xE3";
  EXPECT_EQ(Convert(0, bytes), Convert(ansi, bytes));

  // The locale variables that choose it off Windows change nothing here.
  for (const char* locale : {"ru_RU.KOI8-R", "zh_CN.GB2312", "C"}) {
    SCOPED_TRACE(locale);
    LocaleEnvironment environment(locale, locale, locale);
    EXPECT_EQ(AnsiCodePage(), ansi);
    EXPECT_EQ(Convert(0, bytes), Convert(ansi, bytes));
  }
}

TEST(PlatformWinTest, MissingFileAndFolderGiveTheSystemsCodesAndTexts) {
  // A missing file in a folder that exists is code 2 on both systems; a missing folder is
  // Windows' own code 3, "path not found".
  const velmora_test::ScratchDir scratch;
  const fs::path missing = scratch / "missing";
  EXPECT_EQ(OpenFileForReading(missing.wstring().c_str()), nullptr);
  EXPECT_EQ(LastSystemError(), 2);
  EXPECT_EQ(OpenFileForReading((missing / "os.xml").wstring().c_str()), nullptr);
  EXPECT_EQ(LastSystemError(), 3);

  // Windows' English texts, or Wine's; never with their line break.
  for (const CaseRow& row :
       ReadCaseFile(VELMORA_SOURCE_DIR "/tests/platform/data/windows_error_texts.txt", 3)) {
    SCOPED_TRACE(row.where);
    const WString message = SystemErrorMessage(static_cast<int>(row.Value(0)));
    EXPECT_TRUE(message == row[1] || message == row[2])
        << std::string(message.begin(), message.end());
  }
  // A code the system has no text for gives none.
  EXPECT_EQ(SystemErrorMessage(0x2FFFFFFF), WString());
}

}  // namespace
}  // namespace platform
