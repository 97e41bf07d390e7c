// `velmora check` on files made byte for byte: the verdict line and the log line of each.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

using Outcome = child_process::Outcome;

// The system's text for a missing file (error 2): errno's on Linux; Windows' own, or Wine's.
#ifdef _WIN32
const char* const kMissingFileTexts[] = {"The system cannot find the file specified.",
                                         "File not found."};
#else
const char* const kMissingFileTexts[] = {"No such file or directory"};
#endif

// The one of those texts that `out` holds, so that a mismatch shows the whole output.
std::string MissingFileText(const std::string& out) {
  for (const char* text : kMissingFileTexts) {
    if (out.find(text) != std::string::npos) return text;
  }
  return kMissingFileTexts[0];
}

class CheckCommandTest : public TempFolderTest {
 protected:
  // Runs velmora check on `files` in the test's folder, under windows-1252 as the ANSI code
  // page (off Windows, where no locale variable names another; Wine's default is the same).
  Outcome Check(const std::vector<std::string>& files) {
    std::vector<std::string> args = {"check"};
    args.insert(args.end(), files.begin(), files.end());
    return child_process::Run(
        VELMORA_EXE, args,
        {.workingDirectory = dir_, .unsetVariables = {"LC_ALL", "LC_CTYPE", "LANG"}});
  }
};

// Each file gets its verdict line and its log line, whatever became of the others; one that
// is not well-formed fails the run. The records themselves are the file reader's and the
// parser's, tested with them.
TEST_F(CheckCommandTest, EachFileGetsItsVerdictAndLog) {
  scratch_.Write("gb.xml", "<?xml version=\"1.0\" encoding=\"gb2312\"?><r>\xC4\xE3</r>");
  scratch_.Write("empty.xml", "");
  scratch_.Write("blank.xml", " \n");
  scratch_.Write("be.xml", std::string("\xFE\xFF\0<\0r\0/\0>", 10));
  Outcome run = Check({"gb.xml", "missing.xml", "empty.xml", "blank.xml", "be.xml"});
  EXPECT_EQ(run.status, 1);
  std::string expected =
      "gb.xml: well-formed\n"
      "<read encoding=\"gb2312\" length=\"48\"/>"
      "<converted_to encoding=\"UTF-16\" length=\"47\"/>\n"
      "missing.xml: ill-formed\n<file_error msg=\"";
  expected.append(MissingFileText(run.out))
      .append(
          "\" n=\"2\"/>\n"
          "empty.xml: ill-formed\n"
          "<read encoding=\"\" length=\"0\"/>\n"  // an empty text is ill-formed silently
          "blank.xml: ill-formed\n"
          "<read encoding=\"UTF-8\" length=\"2\"/><utf8_detection/>"
          "<converted_to encoding=\"UTF-16\" length=\"2\"/><no_root_element/>\n"
          "be.xml: well-formed\n"
          "<bom/><read encoding=\"UTF-16BE\" length=\"4\"/><endian_swap/>\n");
  EXPECT_EQ(run.out, expected);

  run = Check({"be.xml", "gb.xml"});
  EXPECT_EQ(run.status, 0);
}

TEST_F(CheckCommandTest, NeedsAFile) { EXPECT_EQ(Check({}).status, 2); }

}  // namespace
