#include "platform/open_file.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/system_error.h"
#include "tests/support/temp_folder.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class OpenFileTest : public TempFolderTest {
 protected:
  WString PathOf(const WString& name) const {
    std::u16string folder = dir_.u16string();
    return WString(folder.begin(), folder.end()) + WTEXT("/") + name;
  }
};

TEST_F(OpenFileTest, OpensByUtf16PathForBinaryReading) {
  // "é" and U+1F600 (a surrogate pair) must reach the file system as UTF-8.
  const WString name = WTEXT("caf\x00E9-\xD83D\xDE00.bin");
  {
    std::ofstream out(dir_ / fs::path(u8"caf\u00e9-\U0001F600.bin"), std::ios::binary);
    out.write("a\r\nb\0", 5);
  }
  FileStream stream = OpenFileForReading(PathOf(name).c_str());
  ASSERT_NE(stream, nullptr);
  char bytes[8] = {};
  EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, stream.get()), 5u);  // no newline translation
  EXPECT_EQ(std::string(bytes, 5), std::string("a\r\nb\0", 5));
}

TEST_F(OpenFileTest, MissingFileLeavesItsErrorCode) {
  FileStream stream = OpenFileForReading(PathOf(WTEXT("missing.xml")).c_str());
  EXPECT_EQ(stream, nullptr);
  EXPECT_EQ(LastSystemError(), 2);

  // A lone surrogate has no UTF-8 form; it names no file rather than another one, not even
  // the file named by the bytes it would have if it were encoded on its own.
#ifndef _WIN32
  std::ofstream(dir_ / "\xED\xA0\x80x");
#endif
  FileStream lone = OpenFileForReading(PathOf(WTEXT("\xD800x")).c_str());
  EXPECT_EQ(lone, nullptr);
  EXPECT_EQ(LastSystemError(), 2);
}

}  // namespace
}  // namespace platform
