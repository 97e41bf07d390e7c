// The Windows services behind the platform layer, as a Windows program (or Wine) gives them.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "filler/template_path.h"
#include "platform/ansi_code_page.h"
#include "platform/code_page_conversion.h"
#include "platform/host_path.h"
#include "platform/open_file.h"
#include "platform/system_error.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

WString Convert(int codePage, const std::string& bytes) {
  const int byteCount = static_cast<int>(bytes.size());
  const int units = ConvertToUtf16(codePage, bytes.data(), byteCount, nullptr, 0);
  WString text(static_cast<size_t>(units), WChar{});
  EXPECT_EQ(ConvertToUtf16(codePage, bytes.data(), byteCount, text.data(), units), units);
  return text;
}

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

TEST(PlatformWinTest, CodePagesAreTheSystemsConverters) {
  EXPECT_EQ(Convert(936, "\xC4\xE3\xBA\xC3"), WTEXT("\x4F60\x597D"));
  EXPECT_EQ(Convert(1251, "\xC0\xE6"), WTEXT("\x0410\x0436"));
  EXPECT_EQ(Convert(65001, "\xC3\xA9\xF0\x9F\x98\x80"), WTEXT("\x00E9\xD83D\xDE00"));
  // Flags 0: invalid UTF-8 is replaced, not refused.
  EXPECT_EQ(Convert(65001,
                    "A\xFF"
                    "B"),
            WTEXT("A\xFFFD"
                  "B"));
  // The system has no converter from UTF-16 or UTF-32 bytes.
  EXPECT_EQ(ConvertToUtf16(1200, "AB", 2, nullptr, 0), 0);
  EXPECT_EQ(ConvertToUtf16(12000, "AB\0\0", 4, nullptr, 0), 0);

  // Too little room writes nothing.
  WChar small[2] = {'-', '-'};
  EXPECT_EQ(ConvertToUtf16(65001, "abc", 3, small, 2), 0);
  EXPECT_EQ(small[0], '-');
}

TEST(PlatformWinTest, CodePageZeroIsTheSystemsAnsiCodePage) {
  const int ansi = AnsiCodePage();
  EXPECT_GT(ansi, 0);
  const std::string bytes = "A\x80\xE9\xC4\xE3";
  EXPECT_EQ(Convert(0, bytes), Convert(ansi, bytes));
}

TEST(PlatformWinTest, MissingFileGivesCodeTwoAndTheSystemsMessage) {
  // In a folder that exists: a missing folder would give code 3, "path not found".
  const fs::path missing =
      fs::temp_directory_path() / ("velmora-missing-" + std::to_string(std::random_device()()));
  FileStream stream = OpenFileForReading(missing.wstring().c_str());
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(LastSystemError(), 2);

  // Windows' English text, or Wine's; never with its line break.
  const WString message = SystemErrorMessage(2);
  EXPECT_TRUE(message == WTEXT("The system cannot find the file specified.") ||
              message == WTEXT("File not found."))
      << std::string(message.begin(), message.end());
  EXPECT_EQ(message.find_first_of(WTEXT("\r\n")), WString::npos);
}

TEST(PlatformWinTest, OpensByUtf16PathForBinaryReading) {
  const fs::path folder =
      fs::temp_directory_path() / ("velmora-open-win-" + std::to_string(std::random_device()()));
  fs::create_directories(folder);
  const fs::path file = folder / WTEXT("caf\x00E9-\xD83D\xDE00.bin");
  {
    std::ofstream out(file, std::ios::binary);
    out.write("a\r\nb\0", 5);
  }
  {
    FileStream stream = OpenFileForReading(file.wstring().c_str());
    ASSERT_NE(stream, nullptr);
    char bytes[8] = {};
    EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, stream.get()), 5u);  // no newline translation
    EXPECT_EQ(std::string(bytes, 5), std::string("a\r\nb\0", 5));
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace platform
