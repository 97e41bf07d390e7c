// Runs the built velmora as a user would, on profiles written by the tests.

#include <stdlib.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
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

using Outcome = child_process::Outcome;

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class VelmoraTest : public TempFolderTest {
 protected:
  fs::path Profile(const json& profile) {
    return scratch_.Write("profile" + std::to_string(count_++) + ".json",
                          profile.is_string() ? profile.get<std::string>() : profile.dump());
  }

  // Runs velmora with `args` and no profile in the environment unless --profile gives one, under
  // windows-1252 as the ANSI code page (off Windows, where no locale variable names another;
  // Wine's default is the same).
  static Outcome Velmora(const std::vector<std::string>& args) {
    child_process::Options options;
    options.unsetVariables = {"HARNEL_PROFILE", "LC_ALL", "LC_CTYPE", "LANG"};
    return child_process::Run(VELMORA_EXE, args, options);
  }

  int count_ = 0;
};

// Each run of data/runs.json: velmora's arguments, where "{profile}" stands for the case's
// profile (an object, or a string for the file's bytes) and "{source}" for the source tree;
// then what the run must give: its status, its whole standard output or error, its output as
// JSON, the bytes or the JSON of a file of the source tree ("out file", "json file"), texts it
// holds in this order ("out has"), begins or ends with, or lacks, and whether its error is one
// line (that begins with "err line"); "{profile}" and "{source}" expanded there too.
TEST_F(VelmoraTest, EachRunGivesItsStatusAndOutput) {
  const std::string source = VELMORA_SOURCE_DIR;
  const CaseKeys keys = {{"case", "args", "status"},
                         {"profile", "out", "err", "json", "out file", "json file", "out has",
                          "out begins", "out ends", "out lacks", "err has", "err line"},
                         {"out has", "out begins", "out ends", "out lacks", "err has", "err line"}};
  for (const json& c : ReadJsonCases<json>(source + "/tests/cli/data/runs.json", keys)) {
    SCOPED_TRACE(c["case"].get<std::string>());
    const fs::path path = Profile(c.value("profile", json::object()));
    const auto expand = [&](std::string text) {
      for (const auto& [name, value] :
           {std::pair<std::string, std::string>{"{profile}", path.string()},
            {"{source}", source},
            {"{version}", VELMORA_VERSION}}) {
        for (std::size_t at; (at = text.find(name)) != std::string::npos;) {
          text.replace(at, name.size(), value);
        }
      }
      return text;
    };
    std::vector<std::string> args;
    for (const json& arg : c["args"]) args.push_back(expand(arg));
    const Outcome run = Velmora(args);
    EXPECT_EQ(run.status, c["status"]) << run.err;
    EXPECT_EQ(run.out, c.contains("out") ? expand(c["out"]) : run.out);
    EXPECT_EQ(run.err, c.value("err", run.err));
    if (c.contains("json")) {
      EXPECT_EQ(json::parse(run.out), c["json"]);
    }
    if (c.contains("out file")) {
      EXPECT_EQ(run.out, ReadFile(source + "/" + c["out file"].get<std::string>()));
    }
    if (c.contains("json file")) {
      EXPECT_EQ(json::parse(run.out),
                json::parse(ReadFile(source + "/" + c["json file"].get<std::string>())));
    }
    std::size_t at = 0;
    for (const json& text : c.value("out has", json::array())) {
      at = run.out.find(text.get<std::string>(), at);
      EXPECT_NE(at, std::string::npos) << text << " in order in\n" << run.out;
      if (at == std::string::npos) break;
    }
    EXPECT_TRUE(run.out.starts_with(expand(c.value("out begins", "")))) << run.out;
    EXPECT_TRUE(run.out.ends_with(expand(c.value("out ends", "")))) << run.out;
    for (const json& text : c.value("out lacks", json::array())) {
      EXPECT_EQ(run.out.find(text.get<std::string>()), std::string::npos) << text;
    }
    for (const json& text : c.value("err has", json::array())) {
      EXPECT_NE(run.err.find(expand(text)), std::string::npos) << run.err;
    }
    if (c.contains("err line")) {
      EXPECT_TRUE(run.err.starts_with(expand(c["err line"]))) << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
  }
}

// Each case of data/diff_cases.json: two profiles (a file of the source tree, or written from the
// case), the changes `diff --json` prints (the "values" of an added or removed device compared
// only where the case gives them), the lines plain `diff` prints, and the status.
TEST_F(VelmoraTest, DiffShowsWhatChangedBetweenTwoProfiles) {
  const fs::path source = VELMORA_SOURCE_DIR;
  const CaseKeys keys = {{"case", "old", "new"}, {"changes", "status", "bad", "text"}};
  for (const json& c :
       ReadJsonCases<json>((source / "tests/cli/data/diff_cases.json").string(), keys)) {
    SCOPED_TRACE(c["case"].get<std::string>());
    std::map<std::string, std::string> files;
    for (const char* side : {"old", "new"}) {
      files[side] = c[side].is_string() ? (source / c[side].get<std::string>()).string()
                                        : Profile(c[side]).string();
    }
    const Outcome text = Velmora({"diff", files["old"], files["new"]});
    const Outcome run = Velmora({"diff", files["old"], files["new"], "--json"});
    const json expected = c.value("changes", json::array());
    EXPECT_EQ(run.status, c.value("status", expected.empty() ? 0 : 1));
    EXPECT_EQ(text.status, run.status);
    if (c.contains("bad")) {
      EXPECT_EQ(run.out, "");
      EXPECT_TRUE(run.err.starts_with("velmora: " + files[c["bad"].get<std::string>()] + ": "))
          << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
      continue;
    }
    json changes = json::parse(run.out);
    for (std::size_t i = 0; i < changes.size() && i < expected.size(); ++i) {
      if (!expected[i].contains("values")) changes[i].erase("values");
    }
    EXPECT_EQ(changes, expected);
    if (!c.contains("text")) continue;
    std::string lines;
    for (const json& line : c["text"]) lines += line.get<std::string>() + "\n";
    EXPECT_EQ(text.out, lines);
  }
}

#ifndef _WIN32
// The bare container fixture read as this machine: the provider says why its records are
// empty, and a capture with its reasons replays as one without, which has no machine to ask;
// compared with the machine it was taken from, it shows no change.
TEST_F(VelmoraTest, ReasonsStandInForNoneAndDoNotChangeTheReplay) {
  ASSERT_EQ(::setenv("HARNEL_ROOT", VELMORA_SOURCE_DIR "/tests/harnel/linux/data/container", 1), 0);
  const Outcome live = Velmora({});
  const Outcome pairs = Velmora({"pairs", "memory", "--reasons"});
  const Outcome bios = Velmora({"pairs", "bios", "--reasons"});
  std::ofstream(dir_ / "plain.json") << Velmora({"capture"}).out;
  std::ofstream(dir_ / "reasons.json") << Velmora({"capture", "--reasons"}).out;
  ::unsetenv("HARNEL_ROOT");
  EXPECT_NE(live.out.find("Monitors\n  (no /sys/class/drm)\n"), std::string::npos) << live.out;
  EXPECT_EQ(live.out.find("(none)"), std::string::npos) << live.out;
  EXPECT_NE(pairs.out.find("：\t0\t(no swap space)\n"), std::string::npos) << pairs.out;
  EXPECT_EQ(bios.err, "velmora: pairs bios: no firmware tables on this machine\n");
  const json captured = json::parse(ReadFile(dir_ / "reasons.json"));
  EXPECT_EQ(captured["Reasons"]["MonitorList"], "no /sys/class/drm");
  // A list's reasons are one object per device; the machine now ("-") is what it was captured.
  ASSERT_EQ(::setenv("HARNEL_ROOT", VELMORA_SOURCE_DIR "/tests/harnel/linux/data/laptop", 1), 0);
  std::ofstream(dir_ / "laptop.json") << Velmora({"capture", "--reasons"}).out;
  const Outcome unchanged = Velmora({"diff", (dir_ / "laptop.json").string(), "-", "--json"});
  ::unsetenv("HARNEL_ROOT");
  const json laptop = json::parse(ReadFile(dir_ / "laptop.json"));
  EXPECT_EQ(laptop["Reasons"]["VideoadapterList"][0]["dacType"], "not on this operating system");
  EXPECT_EQ(unchanged.status, 0) << unchanged.err;
  EXPECT_EQ(unchanged.out, "[]\n");

  const Outcome plain = Velmora({"--profile", (dir_ / "plain.json").string()});
  const Outcome replayed = Velmora({"--profile", (dir_ / "reasons.json").string()});
  EXPECT_EQ(replayed.status, 0) << replayed.err;
  EXPECT_EQ(replayed.err, "");
  EXPECT_EQ(replayed.out, plain.out);
  EXPECT_NE(replayed.out.find("Monitors\n  (none)\n"), std::string::npos);
}

// Profiles that no command can use, or that push every bound, under each command that reads
// one: no run may end by a signal or hang, each ends with 0, 1 or 2, and a refusal is one line.
// The large profiles are made here, never kept in the tree. FIFOs, devices and `timeout` are the
// Linux side's; the reader is the same on both.

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

// Each case of data/bad_profiles.json: a profile and whether the provider's reader must refuse
// it (then every command gives 2 and one line naming it).
TEST_F(VelmoraTest, NoCommandEndsAbnormallyOrHangsOnABadProfile) {
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
#endif

}  // namespace
