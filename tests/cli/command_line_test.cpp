// The host program's command line: where options may stand, what counts as an argument, and
// which lines are usage errors (one line each, for "velmora: ... (see velmora --help)").
#include "cli/command_line.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace velmora::cli {
namespace {

std::optional<CommandLine> Parse(std::vector<const char*> args, std::string& error) {
  args.insert(args.begin(), "velmora");
  return ParseCommandLine(static_cast<int>(args.size()), args.data(), error);
}

TEST(CommandLineTest, OptionsStandAnywhereAndNumbersAreArguments) {
  const std::string profile = VELMORA_SOURCE_DIR "/examples/workstation.json";
  const std::string profileAssigned = "--profile=" + profile;
  struct Case {
    std::vector<const char*> args;
    Command command;
    std::string kind = "";
    bool json = false;
    int category = 0;
    std::vector<std::string> files = {};
    bool withProfile = false;
  };
  const Case cases[] = {
      {{}, Command::Inventory},
      {{"--profile", profile.c_str()}, Command::Inventory, "", false, 0, {}, true},
      {{"pairs", "storage", "--json"}, Command::Pairs, "storage", true},
      {{"pairs", "--json", "os"}, Command::Pairs, "os", true},
      {{"pairs", "os", "--profile", profile.c_str()}, Command::Pairs, "os", false, 0, {}, true},
      {{"xml", "5003"}, Command::Xml, "", false, 5003},
      {{"xml", "-1"}, Command::Xml, "", false, -1},
      {{"xml", "+7"}, Command::Xml, "", false, 7},
      {{"xml", "--", "-5"}, Command::Xml, "", false, -5},
      {{"xml", "-2147483648"}, Command::Xml, "", false, -2147483647 - 1},
      {{profileAssigned.c_str(), "xml", "0"}, Command::Xml, "", false, 0, {}, true},
      {{"capture"}, Command::Capture},
      {{"check", "a.xml", "b.xml"}, Command::Check, "", false, 0, {"a.xml", "b.xml"}},
      {{"check", "--", "--odd.xml"}, Command::Check, "", false, 0, {"--odd.xml"}},
      {{"pairs", "--help"}, Command::Help},
      {{"-h"}, Command::Help},
      {{"xml", "--version"}, Command::Version},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    std::string error;
    const std::optional<CommandLine> line = Parse(c.args, error);
    ASSERT_TRUE(line.has_value()) << error;
    EXPECT_EQ(line->command, c.command);
    EXPECT_EQ(line->kind, c.kind);
    EXPECT_EQ(line->json, c.json);
    EXPECT_EQ(line->category, c.category);
    EXPECT_EQ(line->files, c.files);
    EXPECT_EQ(line->profile, c.withProfile ? profile : "");
  }
}

TEST(CommandLineTest, UsageErrorsNameWhatIsWrong) {
  struct Case {
    std::vector<const char*> args;
    std::string error;
  };
  const Case cases[] = {
      {{"pairs"}, "KIND is required"},
      {{"pairs", "disk"}, "KIND: disk not in {os,bios,"},
      {{"pairs", "os", "extra"}, "not expected: extra"},
      {{"--json", "pairs", "os"}, "not expected: --json"},  // a flag of pairs, not global
      {{"capture", "--json"}, "not expected: --json"},
      {{"capture", "now"}, "not expected: now"},
      {{"--bogus"}, "not expected: --bogus"},
      {{"frobnicate"}, "not expected: frobnicate"},
      {{"--profile"}, "--profile: 1 required FILE missing"},
      {{"--profile", "/no/such/file.json"}, "File does not exist: /no/such/file.json"},
      {{"--profile", VELMORA_SOURCE_DIR}, "File is actually a directory"},
      {{"xml"}, "CATEGORY is required"},
      {{"xml", "five"}, "Could not convert: CATEGORY = five"},
      {{"xml", "2147483648"}, "Could not convert"},
      {{"xml", "0x1389"}, "Could not convert"},
      {{"xml", "1", "2"}, "not expected: 2"},
      {{"check"}, "FILE is required"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    std::string error;
    EXPECT_FALSE(Parse(c.args, error).has_value());
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
}

TEST(CommandLineTest, HelpNamesEveryCommandAndKind) {
  const std::string help = HelpText();
  for (const char* word : {"pairs", "capture", "xml", "check", "--profile", "--version",
                           "systemcontroller", "videoadapter", "5006"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace velmora::cli
