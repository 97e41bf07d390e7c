// Profiles that no command can use, or that push every bound, under each command that reads
// one: no run may end by a signal or hang, each ends with 0, 1 or 2, and a refusal is one line.
// The large profiles are made here, never kept in the tree.

#include <sys/stat.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/case_file.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A run that outlives this is killed, and its status (that of `timeout`) fails the test: the
// bound is far above any honest run, so it only tells a hang from an answer.
constexpr const char* kHangBound = "300";

// One piece of a profile's bytes: a text, a byte given by its value, or [text, times] or
// [text, times, separator] for the text written that many times, "{i}" in it counting from 0.
void AppendPiece(std::string& bytes, const json& piece) {
  if (piece.is_number()) {
    bytes += static_cast<char>(piece.get<int>());
  } else if (piece.is_string()) {
    bytes += piece.get<std::string>();
  } else {
    const std::string text = piece[0];
    const std::string separator = piece.size() > 2 ? piece[2].get<std::string>() : "";
    const std::size_t counter = text.find("{i}");
    for (std::size_t i = 0; i < piece[1].get<std::size_t>(); ++i) {
      std::string copy = text;
      if (counter != std::string::npos) copy.replace(counter, 3, std::to_string(i));
      bytes += (i == 0 ? "" : separator) + copy;
    }
  }
}

// What is wrong with how a case of data/bad_profiles.json says its profile is made: it takes
// exactly one of "path", "fifo" and "file", and bytes ("text", "size") only for a file, which
// must have them.
std::string WrongMaking(const json& c) {
  const int ways = int{c.contains("path")} + int{c.contains("fifo")} + int{c.contains("file")};
  if (ways != 1) return "not exactly one of \"path\", \"fifo\" and \"file\"";
  if (c.contains("file") != c.contains("text")) return "\"text\" without \"file\", or the reverse";
  if (c.contains("size") && !c.contains("file")) return "\"size\" without \"file\"";
  return "";
}

// The profile a case of data/bad_profiles.json describes, made in `dir`: a file of the bytes
// its pieces give ("text"), stretched to "size" bytes; a FIFO; or a path as it stands ("path",
// from `dir` when relative), none of which is made.
fs::path MakeProfile(const json& c, const fs::path& dir) {
  if (c.contains("path")) return dir / c["path"].get<std::string>();
  if (c.contains("fifo")) {
    const fs::path path = dir / c["fifo"].get<std::string>();
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    return path;
  }
  const fs::path path = dir / c["file"].get<std::string>();
  std::string bytes;
  for (const json& piece : c["text"]) AppendPiece(bytes, piece);
  std::ofstream(path, std::ios::binary) << bytes;
  // Sparse: no disk is written.
  if (c.contains("size")) fs::resize_file(path, c["size"].get<std::uintmax_t>());
  return path;
}

// The seven commands that read a profile, each given it with --profile; `diff` and `check` are
// also given it as their file.
std::vector<std::vector<std::string>> Commands(const std::string& profile) {
  return {
      {"--profile", profile},
      {"--profile", profile, "pairs", "storage"},
      {"--profile", profile, "xml", "5003"},
      {"--profile", profile, "capture"},
      {"--profile", profile, "export", "--format", "glpi", "--deviceid", "test"},
      {"--profile", profile, "diff", "-", "-"},
      {"--profile", profile, "check", VELMORA_SOURCE_DIR "/hardinfo/os.xml"},
      {"diff", profile, "-"},
      {"check", profile},
  };
}

std::string Joined(const std::vector<std::string>& args) {
  std::string out;
  for (const std::string& arg : args) out += (out.empty() ? "" : " ") + arg.substr(0, 60);
  return out;
}

class BadProfilesTest : public TempFolderTest {};

// Each case of data/bad_profiles.json: a profile and whether the provider's reader must refuse
// it (then every command gives 2 and one line naming it).
TEST_F(BadProfilesTest, NoCommandEndsAbnormallyOrHangs) {
  const CaseKeys keys = {{"case", "refused"}, {"file", "text", "size", "fifo", "path"}};
  for (const json& bad :
       ReadJsonCases<json>(VELMORA_SOURCE_DIR "/tests/cli/data/bad_profiles.json", keys)) {
    SCOPED_TRACE(bad["case"].get<std::string>());
    if (const std::string wrong = WrongMaking(bad); !wrong.empty()) {
      ADD_FAILURE() << wrong;
      continue;
    }
    const std::string profile = MakeProfile(bad, dir_).string();
    for (std::vector<std::string> args : Commands(profile)) {
      SCOPED_TRACE(Joined(args));
      const bool readsProfile = args.front() == "--profile" || args.front() == "diff";
      args.insert(args.begin(), {"--signal=KILL", kHangBound, VELMORA_EXE});
      child_process::Options options;
      options.unsetVariables = {"HARNEL_PROFILE"};
      const child_process::Outcome run = child_process::Run("/usr/bin/timeout", args, options);
      // `timeout` gives 124 or 137 for a hang and 128 + the signal for a crash.
      EXPECT_TRUE(run.status == 0 || run.status == 1 || run.status == 2)
          << "status " << run.status << "; error: " << run.err.substr(0, 300);
      if (bad["refused"] && readsProfile) {
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err.substr(0, 300);
        EXPECT_NE(run.err.find(profile), std::string::npos) << run.err.substr(0, 300);
        EXPECT_EQ(run.out, "");
      }
    }
  }
}

}  // namespace
