#include "xmldoc/text_file.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "tests/platform/locale_environment.h"
#include "tests/support/case_file.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct Loaded {
  bool result = false;
  WString text;
  WString log;
  uint32_t flags = 0;
};

WString Widen(const std::string& ascii) { return WString(ascii.begin(), ascii.end()); }

// Files made byte for byte in a fresh folder, read under windows-1252 as the ANSI code page.
class TextFileTest : public TempFolderTest {
 protected:
  WString PathOf(const std::string& name) const { return Widen((dir_ / name).string()); }

  WString Write(const std::string& name, const std::string& bytes) const {
    scratch_.Write(name, bytes);
    return PathOf(name);
  }

  static Loaded Load(const WString& path, uint32_t flags = 0) {
    Loaded loaded;
    loaded.text = WTEXT("stale");
    loaded.log = WTEXT("stale");
    loaded.flags = flags;
    loaded.result = LoadTextFile(path.c_str(), loaded.text, &loaded.log, &loaded.flags);
    return loaded;
  }

  LocaleEnvironment locale_{nullptr, nullptr, nullptr};
};

// Each way into the text, with the records it leaves and the flags it reports, or only whether
// the lead byte rules read the file as UTF-8.
TEST_F(TextFileTest, LoadsEachEncodingWithItsRecords) {
  const std::map<std::string, int64_t> flags = {
      {"Utf8BomFlag", Utf8BomFlag}, {"Utf16LeFlag", Utf16LeFlag}, {"Utf16BeFlag", Utf16BeFlag}};
  int index = 0;
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "loads.txt", 2, 4)) {
    SCOPED_TRACE(row.where);
    Loaded loaded = Load(Write("row" + std::to_string(index++), row.Bytes(0)));
    EXPECT_TRUE(loaded.result);
    if (row.fields.size() == 2) {
      EXPECT_EQ(loaded.log.starts_with(WTEXT("<read encoding=\"UTF-8\"")), row.Value(1) != 0);
      continue;
    }
    EXPECT_EQ(loaded.text, row[1]);
    EXPECT_EQ(loaded.log, row[2]);
    EXPECT_EQ(loaded.flags, static_cast<uint32_t>(row.Value(3, flags)));
  }
}

TEST_F(TextFileTest, LongFilesAreReadWholeAfterTheProbe) {
  std::string body = "<r>";
  for (int i = 0; i < 1000; ++i) body += "<i n=\"" + std::to_string(i) + "\"/>";
  body += "</r>";
  ASSERT_GT(body.size(), 1024u);

  std::string utf16 = "\xFF\xFE";
  for (char c : body) utf16 += std::string{c, '\0'};
  for (const std::string& bytes : {body, "\xEF\xBB\xBF" + body, utf16}) {
    SCOPED_TRACE(bytes.size());
    Loaded loaded = Load(Write(std::to_string(bytes.size()), bytes));
    EXPECT_TRUE(loaded.result);
    EXPECT_EQ(loaded.text, Widen(body));
    EXPECT_GE(loaded.text.capacity(), body.size() + body.size() / 100);
  }
}

// A file cut short between the open and the read (past what the stream has buffered): the
// read fails with the system's record, in 8-bit and in UTF-16 files alike.
TEST_F(TextFileTest, AFileCutShortAfterTheOpenFailsTheRead) {
  for (const std::string& bytes : {std::string(20000, ' '), "\xFF\xFE" + std::string(20000, 'a')}) {
    SCOPED_TRACE(bytes.size());
    TextFile file;
    ASSERT_TRUE(file.Open(Write("cut", bytes).c_str()));
    fs::resize_file(dir_ / "cut", 10);
    file.blockBytes = file.fileSize - file.position;
    WString text;
    EXPECT_FALSE(file.ReadText(text));
    EXPECT_TRUE(file.resultLog.starts_with(WTEXT("<file_error msg=\""))) << file.resultLog.size();
  }
}

// Each row of data/file_errors.txt for this system: a path that is not read, and its record.
TEST_F(TextFileTest, OnlyRegularFilesThatExistAreOpenedAndNothingWaits) {
  fs::create_directories(dir_ / "folder");
#ifdef _WIN32
  const std::string system = "windows";
#else
  const std::string system = "linux";
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
#endif
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "file_errors.txt", 3)) {
    if (row.Bytes(0) != system) continue;
    SCOPED_TRACE(row.where);
    const std::string path = row.Bytes(1);
    Loaded loaded = Load(path.starts_with("~/") ? PathOf(path.substr(2)) : row[1], 0x100);
    EXPECT_FALSE(loaded.result);
    EXPECT_EQ(loaded.text, WString());
    EXPECT_TRUE(loaded.log.starts_with(WTEXT("<file_error msg=\""))) << loaded.log.size();
    EXPECT_TRUE(loaded.log.ends_with(row[2])) << loaded.log.size();
    EXPECT_EQ(loaded.flags, 0x100u);  // not written
  }

  // Neither a log nor flags need be wanted.
  WString text = WTEXT("stale");
  EXPECT_FALSE(LoadTextFile(PathOf("missing.xml").c_str(), text, nullptr, nullptr));
  EXPECT_EQ(text, WString());
}

}  // namespace
