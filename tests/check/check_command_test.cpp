// `velmora check` on files made byte for byte: the verdict line and the log line of each.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out;
};

class CheckCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("velmora-check-" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes `bytes` to `name` in the test's folder and returns the name, relative to it.
  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return name;
  }

  // Runs velmora check in the test's folder, under windows-1252 as the ANSI code page.
  Outcome Check(const std::string& args) {
    const fs::path out = dir_ / "out";
    const std::string command = "cd " + dir_.string() + " && env -u LC_ALL -u LC_CTYPE -u LANG " +
                                VELMORA_EXE + " check " + args + " >" + out.string();
    const int status = std::system(command.c_str());
    std::ifstream file(out, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
  }

  fs::path dir_;
};

TEST_F(CheckCommandTest, WellFormedFilesInEveryEncodingPrintTheirLoadRecords) {
  const std::string gb =
      Write("gb.xml", "<?xml version=\"1.0\" encoding=\"gb2312\"?><r>\xC4\xE3</r>");
  const std::string be = Write("be.xml", std::string("\xFE\xFF\0<\0r\0/\0>", 10));
  const std::string le = Write("le.xml", std::string("<\0r\0/\0>\0", 8));
  const std::string bom = Write("bom.xml", "\xEF\xBB\xBF<r>\xE4\xBD\xA0</r>\n");
  const Outcome run = Check(gb + " " + be + " " + le + " " + bom);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "gb.xml: well-formed\n"
            "<read encoding=\"gb2312\" length=\"48\"/>"
            "<converted_to encoding=\"UTF-16\" length=\"47\"/>\n"
            "be.xml: well-formed\n"
            "<bom/><read encoding=\"UTF-16BE\" length=\"4\"/><endian_swap/>\n"
            "le.xml: well-formed\n"
            "<read encoding=\"UTF-8\" length=\"8\"/><nulls_removed count=\"4\"/>"
            "<converted_to encoding=\"UTF-16\" length=\"4\"/>\n"
            "bom.xml: well-formed\n"
            "<bom/><read encoding=\"UTF-8\" length=\"11\"/>"
            "<converted_to encoding=\"UTF-16\" length=\"9\"/>\n");
}

TEST_F(CheckCommandTest, UnreadableAndIllFormedFilesFailTheRun) {
  const std::string empty = Write("empty.xml", "");
  const std::string blank = Write("blank.xml", " \n");
  const std::string good = Write("good.xml", "<r/>");
  const Outcome run = Check("missing.xml " + empty + " " + blank + " " + good);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "missing.xml: ill-formed\n"
            "<file_error msg=\"No such file or directory\" n=\"2\"/>\n"
            "empty.xml: ill-formed\n"
            "<read encoding=\"\" length=\"0\"/>\n"  // an empty text is ill-formed silently
            "blank.xml: ill-formed\n"
            "<read encoding=\"UTF-8\" length=\"2\"/><utf8_detection/>"
            "<converted_to encoding=\"UTF-16\" length=\"2\"/><no_root_element/>\n"
            "good.xml: well-formed\n"
            "<read encoding=\"UTF-8\" length=\"4\"/>"
            "<converted_to encoding=\"UTF-16\" length=\"4\"/>\n");

  // Invalid UTF-8 after a blank falls back to windows-1252 and says so.
  const std::string latin = Write("latin.xml", " <r>\xE9</r>");
  const Outcome fallback = Check(latin);
  EXPECT_EQ(fallback.status, 0);
  EXPECT_EQ(fallback.out,
            "latin.xml: well-formed\n"
            "<read encoding=\"\" length=\"9\"/><utf8_detection/>"
            "<converted_to encoding=\"UTF-16\" length=\"9\"/>\n");
}

TEST_F(CheckCommandTest, NeedsAFile) { EXPECT_EQ(Check("").status, 2); }

}  // namespace
