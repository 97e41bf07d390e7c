#include "xmldoc/text_file.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

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

// Each way into the text, with the records it leaves and the flags it reports.
TEST_F(TextFileTest, LoadsEachEncodingWithItsRecords) {
  // 200 bytes after the mark: 3 + 62 * 3 ("你") + 11.
  std::string body = "<r>";
  for (int i = 0; i < 62; ++i) body += "\xE4\xBD\xA0";
  body += "x</r>      ";
  ASSERT_EQ(body.size(), 200u);
  const std::string gb = "<?xml version=\"1.0\" encoding=\"gb2312\"?>";
  struct Case {
    std::string bytes;
    WString text;
    const WChar* log;
    uint32_t flags;
  };
  const Case cases[] = {
      {"", WTEXT(""), WTEXT("<read encoding=\"\" length=\"0\"/>"), 0},  // ReadMode cleared
      {"\xEF\xBB\xBF", WTEXT(""), WTEXT("<bom/><read encoding=\"UTF-8\" length=\"0\"/>"),
       Utf8BomFlag},
      {"\xFF\xFE", WTEXT(""), WTEXT("<bom/><read encoding=\"UTF-16LE\" length=\"0\"/>"),
       Utf16LeFlag},
      // After a UTF-8 mark the bytes are not tested.
      {"\xEF\xBB\xBF" + body, WTEXT("<r>") + WString(62, 0x4F60) + WTEXT("x</r>      "),
       WTEXT("<bom/><read encoding=\"UTF-8\" length=\"200\"/>"
             "<converted_to encoding=\"UTF-16\" length=\"76\"/>"),
       Utf8BomFlag},
      {gb + "<r>\xC4\xE3\xBA\xC3</r>", Widen(gb) + WTEXT("<r>\x4F60\x597D</r>"),
       WTEXT("<read encoding=\"gb2312\" length=\"50\"/>"
             "<converted_to encoding=\"UTF-16\" length=\"48\"/>"),
       0},
      // A leading "<" means UTF-8 without a test; invalid UTF-8 is replaced.
      {"<r>\xE9</r>", WTEXT("<r>\xFFFD</r>"),
       WTEXT("<read encoding=\"UTF-8\" length=\"8\"/>"
             "<converted_to encoding=\"UTF-16\" length=\"8\"/>"),
       0},
      // Other files are tested for UTF-8; what fails goes to the ANSI code page, windows-1252.
      {" <r>\xC3\xA9</r>", WTEXT(" <r>\x00E9</r>"),
       WTEXT("<read encoding=\"UTF-8\" length=\"10\"/><utf8_detection/>"
             "<converted_to encoding=\"UTF-16\" length=\"9\"/>"),
       0},
      {" <r>\xE9\x80</r>", WTEXT(" <r>\x00E9\x20AC</r>"),
       WTEXT("<read encoding=\"\" length=\"10\"/><utf8_detection/>"
             "<converted_to encoding=\"UTF-16\" length=\"10\"/>"),
       0},
      // Zero bytes leave 8-bit files; a big-endian file starts with one, so the test runs on
      // what is left.
      {std::string("<\0a\0>\0", 6), WTEXT("<a>"),
       WTEXT("<read encoding=\"UTF-8\" length=\"6\"/><nulls_removed count=\"3\"/>"
             "<converted_to encoding=\"UTF-16\" length=\"3\"/>"),
       0},
      {std::string("\0<\0a", 4), WTEXT("<a"),
       WTEXT("<read encoding=\"UTF-8\" length=\"4\"/><nulls_removed count=\"2\"/>"
             "<utf8_detection/><converted_to encoding=\"UTF-16\" length=\"2\"/>"),
       0},
      {std::string("\xFF\xFE<\0a\0>\0\0\0\x60\x4F", 12), WTEXT("<a>\x4F60"),
       WTEXT("<bom/><read encoding=\"UTF-16LE\" length=\"5\"/><nulls_removed count=\"1\"/>"),
       Utf16LeFlag},
      {std::string("\xFE\xFF\0<\0a\0>\0\0\x4F\x60", 12), WTEXT("<a>\x4F60"),
       WTEXT("<bom/><read encoding=\"UTF-16BE\" length=\"5\"/><nulls_removed count=\"1\"/>"
             "<endian_swap/>"),
       Utf16BeFlag},
      // An odd byte at the end is not a unit; the swap record comes with nothing to swap.
      {std::string("\xFF\xFE"
                   "A\0B",
                   5),
       WTEXT("A"), WTEXT("<bom/><read encoding=\"UTF-16LE\" length=\"1\"/>"), Utf16LeFlag},
      {std::string("\xFE\xFF\0\0", 4), WTEXT(""),
       WTEXT("<bom/><read encoding=\"UTF-16BE\" length=\"1\"/><nulls_removed count=\"1\"/>"
             "<endian_swap/>"),
       Utf16BeFlag},
      // Declared UTF-16 without a mark loads empty.
      {"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r/>", WTEXT(""),
       WTEXT("<read encoding=\"UTF-16\" length=\"43\"/>"
             "<converted_to encoding=\"UTF-16\" length=\"0\"/>"),
       0},
  };
  for (const Case& c : cases) {
    const size_t row = static_cast<size_t>(&c - cases);
    SCOPED_TRACE(testing::Message() << "row " << row);
    Loaded loaded = Load(Write("row" + std::to_string(row), c.bytes));
    EXPECT_TRUE(loaded.result);
    EXPECT_EQ(loaded.text, c.text);
    EXPECT_EQ(loaded.log, c.log);
    EXPECT_EQ(loaded.flags, c.flags);
  }
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

TEST_F(TextFileTest, OnlyRegularFilesAreOpenedAndNothingWaits) {
  // A folder gets the system's reason for one; a FIFO (which nobody writes: opening it to
  // read would wait for ever) or a device gets what seeking on one gives.
  fs::create_directories(folder_ / "folder");
  struct Case {
    WString path;
    const WChar* code;  // the record ends with this code; its message is the system's
  };
#ifdef _WIN32
  // Windows does not open a folder as a file at all: access denied.
  const Case cases[] = {{PathOf("folder"), WTEXT("\" n=\"5\"/>")},
                        {WTEXT("NUL"), WTEXT("\" n=\"132\"/>")}};
#else
  ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
  const Case cases[] = {{PathOf("folder"), WTEXT("<file_error msg=\"Is a directory\" n=\"21\"/>")},
                        {PathOf("fifo"), WTEXT("<file_error msg=\"Illegal seek\" n=\"29\"/>")},
                        {WTEXT("/dev/zero"), WTEXT("<file_error msg=\"Illegal seek\" n=\"29\"/>")}};
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.path.size());
    Loaded loaded = Load(c.path, 0x100);
    EXPECT_FALSE(loaded.result);
    EXPECT_EQ(loaded.text, WString());
    EXPECT_TRUE(loaded.log.starts_with(WTEXT("<file_error msg=\""))) << loaded.log.size();
    EXPECT_TRUE(loaded.log.ends_with(c.code)) << loaded.log.size();
    EXPECT_EQ(loaded.flags, 0x100u);
  }
}

}  // namespace
