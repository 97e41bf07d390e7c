// Profiles that no command can use, or that push every bound, under each command that reads
// one: no run may end by a signal or hang, each ends with 0, 1 or 2, and a refusal is one line.
// The large profiles are made here, never kept in the tree.

#include <sys/stat.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// A run that outlives this is killed, and its status (that of `timeout`) fails the test: the
// bound is far above any honest run, so it only tells a hang from an answer.
constexpr const char* kHangBound = "300";

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

std::string Nested(std::string_view open, std::string_view close, std::size_t depth) {
  return Repeat(open, depth) + Repeat(close, depth);
}

std::string Disks(std::size_t count) {
  std::string list = "[";
  for (std::size_t i = 0; i < count; ++i) {
    list += (i == 0 ? "" : ",") + std::string(R"({"name":"/dev/sd)") + std::to_string(i) +
            R"(","model":"Disk","sizeMB":1024})";
  }
  return list + "]";
}

// One bad profile: how it is made in `dir`, and whether the provider's reader must refuse it
// (then every command gives 2 and one line naming it).
struct BadProfile {
  std::string name;
  std::function<fs::path(const fs::path& dir)> make;
  bool refused;
};

std::function<fs::path(const fs::path&)> Bytes(std::string name,
                                               std::function<std::string()> text) {
  return [name, text](const fs::path& dir) {
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << text();
    return path;
  };
}

std::vector<BadProfile> BadProfiles() {
  constexpr std::size_t kDeep = 100000;
  return {
      // 400 KB whose unknown key holds 100,000 nested arrays: no key may hold what none needs.
      {"deep arrays under an unknown key",
       Bytes("deep_unknown.json",
             [] { return R"({"OS":{},"Unknown":)" + Nested("[", "]", kDeep) + "}"; }),
       true},
      {"deep objects under an unknown key",
       Bytes("deep_objects.json",
             [] { return R"({"Unknown":)" + Nested(R"({"a":)", "}", kDeep) + R"(,"OS":{}})"; }),
       true},
      {"deep arrays in a record",
       Bytes("deep_record.json",
             [] { return R"({"StorageList":)" + Nested("[", "]", kDeep) + "}"; }),
       true},
      {"deep arrays in the Machine key",
       Bytes("deep_machine.json",
             [] { return R"({"Machine":{"System":)" + Nested("[", "]", kDeep) + "}}"; }),
       true},
      {"nine levels, one more than a profile may have",
       Bytes("nine_levels.json",
             [] { return R"({"Reasons":{"Machine":{"A":[{"b":[[[[]]]]}]}}})"; }),
       true},
      {"a top-level array", Bytes("array.json", [] { return "[" + Disks(3) + "]"; }), true},
      {"a bare string", Bytes("string.json", [] { return R"("OS")"; }), true},
      {"a text where a record is", Bytes("text_record.json", [] { return R"({"OS":"Linux"})"; }),
       true},
      {"a number where a text is",
       Bytes("number_text.json", [] { return R"({"OS":{"osName":5}})"; }), true},
      {"a text where a number is",
       Bytes("text_number.json", [] { return R"({"StorageList":[{"sizeMB":"big"}]})"; }), true},
      {"an object where a list is",
       Bytes("object_list.json", [] { return R"({"StorageList":{"name":"/dev/sda"}})"; }), true},
      {"a number beyond 32 bits",
       Bytes("wide_number.json", [] { return R"({"Memory":{"totalPhysicalMB":99999999999}})"; }),
       true},
      {"a raw NUL byte",
       Bytes("nul.json", [] { return std::string("{\"OS\":{\"osName\":\"a\0b\"}}", 24); }), true},
      {"bytes that are not UTF-8",
       Bytes("latin1.json", [] { return "{\"OS\":{\"osName\":\"caf\xE9\"}}"; }), true},
      {"cut short", Bytes("cut.json", [] { return R"({"StorageList":[{"name":"/dev/sda")"; }),
       true},
      {"empty", Bytes("empty.json", [] { return std::string(); }), true},
      {"a FIFO",
       [](const fs::path& dir) {
         const fs::path path = dir / "fifo.json";
         EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
         return path;
       },
       true},
      {"/dev/zero", [](const fs::path&) { return fs::path("/dev/zero"); }, true},
      {"a folder", [](const fs::path& dir) { return dir; }, true},
      {"no such file", [](const fs::path& dir) { return dir / "absent.json"; }, true},
      {"larger than any profile",
       [](const fs::path& dir) {
         const fs::path path = dir / "huge.json";
         std::ofstream(path, std::ios::binary) << "{}";
         fs::resize_file(path, std::uintmax_t{65} << 20);  // sparse: no disk is written
         return path;
       },
       true},
      // Usable, if strange: the commands answer them.
      {"an escaped NUL in a text",
       Bytes("escaped_nul.json", [] { return R"({"OS":{"osName":"a\u0000b"}})"; }), false},
      {"a text of 4 MB",
       Bytes("long_text.json",
             [] { return R"({"OS":{"osName":")" + std::string(4 << 20, 'x') + R"("}})"; }),
       false},
      {"a key of 4 MB",
       Bytes("long_key.json",
             [] { return R"({")" + std::string(4 << 20, 'k') + R"(":1,"OS":{}})"; }),
       false},
      {"100,000 disks",
       Bytes("disks.json", [] { return R"({"StorageList":)" + Disks(100000) + "}"; }), false},
      {"a Machine key of the wrong shape",
       Bytes("odd_machine.json",
             [] { return R"({"OS":{},"Machine":{"System":[1,2],"StorageList":{"serial":7}}})"; }),
       false},
      {"eight levels, as many as a profile may have",
       Bytes("eight_levels.json", [] { return R"({"OS":{},"x":[[[[[[[1]]]]]]]})"; }), false},
      {"five levels, as capture's reasons need",
       Bytes("five_levels.json",
             [] {
               return R"({"OS":{},"Reasons":{"Machine":{"StorageList":[{"serialNumber":"x"}]}}})";
             }),
       false},
  };
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

TEST_F(BadProfilesTest, NoCommandEndsAbnormallyOrHangs) {
  for (const BadProfile& bad : BadProfiles()) {
    SCOPED_TRACE(bad.name);
    const std::string profile = bad.make(dir_).string();
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
      if (bad.refused && readsProfile) {
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err.substr(0, 300);
        EXPECT_NE(run.err.find(profile), std::string::npos) << run.err.substr(0, 300);
        EXPECT_EQ(run.out, "");
      }
    }
  }
}

}  // namespace
