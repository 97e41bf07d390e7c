#include "xmldoc/text_file.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "tests/platform/locale_environment.h"

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
class TextFileTest : public testing::Test {
 protected:
  void SetUp() override {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / (std::string("velmora-textfile-") + test->name() + "-" +
                                           std::to_string(std::random_device()()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  WString PathOf(const std::string& name) const { return Widen((folder_ / name).string()); }

  WString Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
  fs::path folder_;
};

TEST_F(TextFileTest, MissingFile) {
  Loaded loaded = Load(PathOf("missing.xml"), 0x100);
  EXPECT_FALSE(loaded.result);
  EXPECT_EQ(loaded.text, WString());
#ifdef _WIN32
  // The system's message for code 2: Windows' English text or Wine's.
  EXPECT_TRUE(loaded.log == WTEXT("<file_error msg=\"The system cannot find the file specified.\" "
                                  "n=\"2\"/>") ||
              loaded.log == WTEXT("<file_error msg=\"File not found.\" n=\"2\"/>"));
#else
  EXPECT_EQ(loaded.log, WTEXT("<file_error msg=\"No such file or directory\" n=\"2\"/>"));
#endif
  EXPECT_EQ(loaded.flags, 0x100u);  // not written

  // Neither a log nor flags need be wanted.
  WString text = WTEXT("stale");
  EXPECT_FALSE(LoadTextFile(PathOf("missing.xml").c_str(), text, nullptr, nullptr));
  EXPECT_EQ(text, WString());
}

TEST_F(TextFileTest, EmptyFileAndFileOfOnlyAByteOrderMark) {
  Loaded empty = Load(Write("empty.xml", ""));
  EXPECT_TRUE(empty.result);
  EXPECT_EQ(empty.text, WString());
  EXPECT_EQ(empty.log, WTEXT("<read encoding=\"\" length=\"0\"/>"));
  EXPECT_EQ(empty.flags, 0u);  // ReadMode is cleared at close

  Loaded bom = Load(Write("bom.xml", "\xEF\xBB\xBF"));
  EXPECT_TRUE(bom.result);
  EXPECT_EQ(bom.text, WString());
  EXPECT_EQ(bom.log, WTEXT("<bom/><read encoding=\"UTF-8\" length=\"0\"/>"));
  EXPECT_EQ(bom.flags, static_cast<uint32_t>(Utf8BomFlag));

  Loaded utf16 = Load(Write("bom16.xml", "\xFF\xFE"));
  EXPECT_TRUE(utf16.result);
  EXPECT_EQ(utf16.text, WString());
  EXPECT_EQ(utf16.log, WTEXT("<bom/><read encoding=\"UTF-16LE\" length=\"0\"/>"));
  EXPECT_EQ(utf16.flags, static_cast<uint32_t>(Utf16LeFlag));
}

TEST_F(TextFileTest, Utf8ByteOrderMarkIsNotTested) {
  // 200 bytes after the mark: 3 + 62 * 3 ("你") + 11.
  std::string body = "<r>";
  for (int i = 0; i < 62; ++i) body += "\xE4\xBD\xA0";
  body += "x</r>      ";
  ASSERT_EQ(body.size(), 200u);
  Loaded loaded = Load(Write("utf8.xml", "\xEF\xBB\xBF" + body));
  EXPECT_TRUE(loaded.result);
  EXPECT_EQ(loaded.text, WTEXT("<r>") + WString(62, 0x4F60) + WTEXT("x</r>      "));
  EXPECT_EQ(loaded.log, WTEXT("<bom/><read encoding=\"UTF-8\" length=\"200\"/>"
                              "<converted_to encoding=\"UTF-16\" length=\"76\"/>"));
  EXPECT_EQ(loaded.flags, static_cast<uint32_t>(Utf8BomFlag));
}

TEST_F(TextFileTest, DeclaredEncodingIsConverted) {
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"gb2312\"?>";
  Loaded loaded = Load(Write("gb.xml", declaration + "<r>\xC4\xE3\xBA\xC3</r>"));
  EXPECT_TRUE(loaded.result);
  EXPECT_EQ(loaded.text, Widen(declaration) + WTEXT("<r>\x4F60\x597D</r>"));
  EXPECT_EQ(loaded.log, WTEXT("<read encoding=\"gb2312\" length=\"50\"/>"
                              "<converted_to encoding=\"UTF-16\" length=\"48\"/>"));
}

TEST_F(TextFileTest, LeadingAngleBracketMeansUtf8WithoutTest) {
  Loaded loaded = Load(Write("lt.xml", "<r>\xE9</r>"));
  EXPECT_TRUE(loaded.result);
  EXPECT_EQ(loaded.text, WTEXT("<r>\xFFFD</r>"));  // invalid UTF-8 is replaced
  EXPECT_EQ(loaded.log, WTEXT("<read encoding=\"UTF-8\" length=\"8\"/>"
                              "<converted_to encoding=\"UTF-16\" length=\"8\"/>"));
}

TEST_F(TextFileTest, OtherFilesAreTestedForUtf8) {
  Loaded valid = Load(Write("valid.xml", " <r>\xC3\xA9</r>"));
  EXPECT_TRUE(valid.result);
  EXPECT_EQ(valid.text, WTEXT(" <r>\x00E9</r>"));
  EXPECT_EQ(valid.log, WTEXT("<read encoding=\"UTF-8\" length=\"10\"/><utf8_detection/>"
                             "<converted_to encoding=\"UTF-16\" length=\"9\"/>"));

  // Not UTF-8: the ANSI code page (windows-1252 here) decodes it, and the record stays.
  Loaded invalid = Load(Write("invalid.xml", " <r>\xE9\x80</r>"));
  EXPECT_TRUE(invalid.result);
  EXPECT_EQ(invalid.text, WTEXT(" <r>\x00E9\x20AC</r>"));
  EXPECT_EQ(invalid.log, WTEXT("<read encoding=\"\" length=\"10\"/><utf8_detection/>"
                               "<converted_to encoding=\"UTF-16\" length=\"10\"/>"));
}

TEST_F(TextFileTest, Utf8DetectionFollowsTheLeadByteRules) {
  struct Case {
    std::string bytes;
    bool utf8;
  };
  const Case cases[] = {
      {"a\xC3\xA9", true},
      {"a\xE4\xBD\xA0", true},
      {"a\xF0\x9F\x98\x80", true},
      {"a\x80\x80", true},  // a continuation byte leads like a two-byte sequence
      {"a\xC3", false},     // cut short at the end
      {"a\xC3"
       "b",
       false},
      {"a\xE4\xBD"
       "b",
       false},
      {"a\xF8\x80\x80\x80\x80", false},
      {"a\xFF", false},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(index);
    Loaded loaded = Load(Write("case" + std::to_string(index++), c.bytes));
    EXPECT_TRUE(loaded.result);
    EXPECT_EQ(loaded.log.starts_with(WTEXT("<read encoding=\"UTF-8\"")), c.utf8);
  }
}

TEST_F(TextFileTest, ZeroBytesAreRemovedFromEightBitFiles) {
  // A UTF-16LE file of ASCII without a mark loads as the same text.
  Loaded le = Load(Write("le.xml", std::string("<\0a\0>\0", 6)));
  EXPECT_TRUE(le.result);
  EXPECT_EQ(le.text, WTEXT("<a>"));
  EXPECT_EQ(le.log, WTEXT("<read encoding=\"UTF-8\" length=\"6\"/><nulls_removed count=\"3\"/>"
                          "<converted_to encoding=\"UTF-16\" length=\"3\"/>"));

  // Big-endian starts with a zero, so the test runs on what is left after the removal.
  Loaded be = Load(Write("be.xml", std::string("\0<\0a", 4)));
  EXPECT_TRUE(be.result);
  EXPECT_EQ(be.text, WTEXT("<a"));
  EXPECT_EQ(be.log, WTEXT("<read encoding=\"UTF-8\" length=\"4\"/><nulls_removed count=\"2\"/>"
                          "<utf8_detection/><converted_to encoding=\"UTF-16\" length=\"2\"/>"));
}

TEST_F(TextFileTest, Utf16WithByteOrderMarks) {
  Loaded le = Load(Write("le.xml", std::string("\xFF\xFE<\0a\0>\0\0\0\x60\x4F", 12)));
  EXPECT_TRUE(le.result);
  EXPECT_EQ(le.text, WTEXT("<a>\x4F60"));
  EXPECT_EQ(le.log, WTEXT("<bom/><read encoding=\"UTF-16LE\" length=\"5\"/>"
                          "<nulls_removed count=\"1\"/>"));
  EXPECT_EQ(le.flags, static_cast<uint32_t>(Utf16LeFlag));

  Loaded be = Load(Write("be.xml", std::string("\xFE\xFF\0<\0a\0>\0\0\x4F\x60", 12)));
  EXPECT_TRUE(be.result);
  EXPECT_EQ(be.text, WTEXT("<a>\x4F60"));
  EXPECT_EQ(be.log, WTEXT("<bom/><read encoding=\"UTF-16BE\" length=\"5\"/>"
                          "<nulls_removed count=\"1\"/><endian_swap/>"));
  EXPECT_EQ(be.flags, static_cast<uint32_t>(Utf16BeFlag));

  // An odd byte at the end is not a unit.
  Loaded odd = Load(Write("odd.xml", std::string("\xFF\xFE"
                                                 "A\0B",
                                                 5)));
  EXPECT_EQ(odd.text, WTEXT("A"));
  EXPECT_EQ(odd.log, WTEXT("<bom/><read encoding=\"UTF-16LE\" length=\"1\"/>"));

  // The swap record comes even when nothing is left to swap.
  Loaded zeros = Load(Write("zeros.xml", std::string("\xFE\xFF\0\0", 4)));
  EXPECT_EQ(zeros.text, WString());
  EXPECT_EQ(zeros.log, WTEXT("<bom/><read encoding=\"UTF-16BE\" length=\"1\"/>"
                             "<nulls_removed count=\"1\"/><endian_swap/>"));
}

TEST_F(TextFileTest, DeclaredUtf16WithoutMarkLoadsEmpty) {
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><r/>";
  Loaded loaded = Load(Write("utf16.xml", declaration));
  EXPECT_TRUE(loaded.result);
  EXPECT_EQ(loaded.text, WString());
  EXPECT_EQ(loaded.log, WTEXT("<read encoding=\"UTF-16\" length=\"43\"/>"
                              "<converted_to encoding=\"UTF-16\" length=\"0\"/>"));
}

TEST_F(TextFileTest, DeclaredUtf32WithoutMarkTakesWholeValuesOnly) {
  // 42 bytes: ten whole four-byte values and two bytes over. Every value is above 0xFFFF
  // (its last byte is ASCII), so each gives a surrogate pair.
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-32\"?><r>";
  ASSERT_EQ(declaration.size(), 42u);
  Loaded loaded = Load(Write("utf32.xml", declaration));
  EXPECT_TRUE(loaded.result);
  EXPECT_EQ(loaded.text.size(), 20u);
  EXPECT_EQ(loaded.log, WTEXT("<read encoding=\"UTF-32\" length=\"42\"/>"
                              "<converted_to encoding=\"UTF-16\" length=\"20\"/>"));
}

TEST_F(TextFileTest, LongFilesAreReadWholeAfterTheProbe) {
  std::string body = "<r>";
  for (int i = 0; i < 1000; ++i) body += "<i n=\"" + std::to_string(i) + "\"/>";
  body += "</r>";
  ASSERT_GT(body.size(), 1024u);

  Loaded plain = Load(Write("plain.xml", body));
  EXPECT_TRUE(plain.result);
  EXPECT_EQ(plain.text, Widen(body));
  EXPECT_GE(plain.text.capacity(), body.size() + body.size() / 100);

  Loaded marked = Load(Write("marked.xml", "\xEF\xBB\xBF" + body));
  EXPECT_EQ(marked.text, Widen(body));

  std::string utf16 = "\xFF\xFE";
  for (char c : body) utf16 += std::string{c, '\0'};
  Loaded wide = Load(Write("wide.xml", utf16));
  EXPECT_EQ(wide.text, Widen(body));
  EXPECT_GE(wide.text.capacity(), body.size() + body.size() / 100);
}

TEST_F(TextFileTest, OpenFindsTheEncodingAndStopsAfterTheMark) {
  TextFile file;
  ASSERT_TRUE(file.Open(Write("be.xml", std::string("\xFE\xFF\0<", 4)).c_str()));
  EXPECT_EQ(file.encoding, WTEXT("UTF-16BE"));
  EXPECT_EQ(file.charWidth, 2);
  EXPECT_EQ(file.fileSize, 4);
  EXPECT_EQ(file.position, 2);
  EXPECT_EQ(file.flags, static_cast<uint32_t>(Utf16BeFlag));
  EXPECT_EQ(file.resultLog, WTEXT("<bom/>"));
  EXPECT_EQ(std::ftell(file.stream.get()), 2);

  TextFile plain;
  ASSERT_TRUE(plain.Open(Write("plain.txt", "plain text").c_str()));
  EXPECT_EQ(plain.encoding, WString());
  EXPECT_EQ(plain.charWidth, 1);
  EXPECT_EQ(plain.position, 0);
  EXPECT_EQ(plain.resultLog, WString());
  EXPECT_EQ(std::ftell(plain.stream.get()), 0);
}

TEST_F(TextFileTest, FailedReadAfterOpenIsRecorded) {
  // A folder opens as a stream on Linux, but its size or its first read fails; Windows does
  // not open it at all.
  fs::create_directories(folder_ / "folder");
  Loaded loaded = Load(PathOf("folder"), 0x100);
  EXPECT_FALSE(loaded.result);
  EXPECT_EQ(loaded.text, WString());
  EXPECT_TRUE(loaded.log.starts_with(WTEXT("<file_error msg=\""))) << loaded.log.size();
#ifdef _WIN32
  // Windows refuses to open a folder as a file: access denied.
  EXPECT_TRUE(loaded.log.ends_with(WTEXT("\" n=\"5\"/>"))) << loaded.log.size();
#else
  EXPECT_TRUE(loaded.log.ends_with(WTEXT("\" n=\"21\"/>")) ||
              loaded.log.ends_with(WTEXT("\" n=\"27\"/>")));
#endif
  EXPECT_EQ(loaded.flags, 0x100u);
}

}  // namespace
