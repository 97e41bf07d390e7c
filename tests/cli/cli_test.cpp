// Runs the built velmora as a user would, on profiles written by the tests.

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/child_process.h"

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

class VelmoraTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string name = "velmora-cli-";
    name.append(testing::UnitTest::GetInstance()->current_test_info()->name())
        .append("-")
        .append(std::to_string(std::random_device{}()));
    dir_ = fs::temp_directory_path() / name;
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Profile(const json& profile) {
    const fs::path path = dir_ / ("profile" + std::to_string(count_++) + ".json");
    std::ofstream(path, std::ios::binary) << profile.dump();
    return path;
  }

  // Runs velmora with `args` and no profile in the environment unless --profile gives one.
  static Outcome Velmora(const std::vector<std::string>& args) {
    child_process::Options options;
    options.unsetVariables = {"HARNEL_PROFILE"};
    return child_process::Run(VELMORA_EXE, args, options);
  }

  fs::path dir_;
  int count_ = 0;
};

json StorageNode(int n) {
  const std::string i = std::to_string(n);
  return {
      {"name", "disk" + i},          {"mediaType", n == 3 ? "CD-ROM" : "Fixed\thard disk media"},
      {"manufacturer", "maker" + i}, {"model", "型号 " + i},
      {"sizeMB", n * 1000},          {"description", "描述 " + i}};
}

TEST_F(VelmoraTest, StorageJsonGivesSixLabelledPairsPerDeviceInListOrder) {
  const fs::path profile =
      Profile({{"StorageList", json::array({StorageNode(1), StorageNode(2), StorageNode(3)})}});
  const Outcome run = Velmora({"pairs", "storage", "--json", "--profile", profile.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const json pairs = json::parse(run.out);
  ASSERT_EQ(pairs.size(), 18u);
  const char* labels[] = {"设备名称：",         "存储类型：",     "存储设备制造商：",
                          "磁盘驱动器的型号：", "总大小（MB）：", "设备描述："};
  for (int node = 0; node < 3; ++node) {
    const json expected = StorageNode(node + 1);
    const char* fields[] = {"name", "mediaType", "manufacturer", "model", "sizeMB", "description"};
    for (int i = 0; i < 6; ++i) {
      SCOPED_TRACE(testing::Message() << "node " << node << " pair " << i);
      const json& pair = pairs[node * 6 + i];
      ASSERT_EQ(pair.size(), 2u);
      EXPECT_EQ(pair[0], labels[i]);
      const json& field = expected[fields[i]];
      EXPECT_EQ(pair[1],
                field.is_number() ? std::to_string(field.get<int>()) : field.get<std::string>());
    }
  }
}

TEST_F(VelmoraTest, NoListPrintsNothingAndExitsOne) {
  const json profiles[] = {json::object(),
                           {{"StorageList", nullptr}},
                           {{"StorageList", json::array()}},
                           {{"OS", {{"osName", "x"}}}}};
  for (const json& profile : profiles) {
    SCOPED_TRACE(profile.dump());
    const fs::path path = Profile(profile);
    for (bool asJson : {false, true}) {
      std::vector<std::string> args = {"--profile", path.string(), "pairs", "storage"};
      if (asJson) args.push_back("--json");
      const Outcome run = Velmora(args);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.out, "");
    }
  }
}

TEST_F(VelmoraTest, PlainPairsAreOneLineEachLabelThenValue) {
  const fs::path profile =
      Profile({{"Memory", {{"totalPhysicalMB", 4096}, {"totalPageFileMB", 8192}}}});
  const Outcome run = Velmora({"pairs", "memory", "--profile", profile.string()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "物理内存总大小（MB）：\t4096\n内存分页文件总大小（MB）：\t8192\n");
}

TEST_F(VelmoraTest, CaptureOfAReplayedProfileEqualsIt) {
  const fs::path example = fs::path(VELMORA_SOURCE_DIR) / "examples" / "workstation.json";
  const json small = {
      {"OS",
       {{"osName", "Debian 12"},
        {"osType", nullptr},
        {"osVersion", "12"},
        {"servicePack", ""},
        {"osDescription", "𠮷 desk"},
        {"registeredCompany", nullptr},
        {"registeredUser", "用户"},
        {"serialNumber", nullptr},
        {"computerName", "pc"},
        {"upTime", nullptr}}},
      {"BIOS", nullptr},
      {"Processor", nullptr},
      {"Memory", {{"totalPhysicalMB", -1}, {"totalPageFileMB", 0}}},
      {"Userinfo", nullptr},
      {"InputdeviceList", nullptr},
      {"ModemList", nullptr},
      {"MonitorList", json::array({{{"manufacturer", "Dell"}, {"monitorType", nullptr}}})},
      {"NetworkadapterList", nullptr},
      {"PrinterList", nullptr},
      {"StorageList", nullptr},
      {"SystemcontrollerList", nullptr},
      {"SystemslotList", nullptr},
      {"VideoadapterList", nullptr},
      {"PhyMemoryList", nullptr}};
  for (const fs::path& profile : {example, Profile(small)}) {
    SCOPED_TRACE(profile.string());
    const Outcome run = Velmora({"--profile", profile.string(), "capture"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(json::parse(run.out), json::parse(ReadFile(profile)));
  }
}

TEST_F(VelmoraTest, WholeInventoryShowsEverySectionAligned) {
  const fs::path example = fs::path(VELMORA_SOURCE_DIR) / "examples" / "workstation.json";
  const Outcome run = Velmora({"--profile", example.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << "colour on a pipe";
  std::size_t at = 0;
  for (const char* heading :
       {"Operating system\n", "Mainboard and BIOS\n", "Processor\n", "Memory\n", "Users\n",
        "Input devices\n", "Modems\n  (none)\n", "Monitors\n", "Network adapters\n", "Printers\n",
        "Storage devices\n", "System controllers\n", "System slots\n", "Video adapters\n"}) {
    SCOPED_TRACE(heading);
    at = run.out.find(heading, at);
    ASSERT_NE(at, std::string::npos);
  }
  // Full-width labels take two columns a character, so the shorter label gets four more.
  EXPECT_NE(run.out.find("Memory\n  物理内存总大小（MB）：     32607\n"
                         "  内存分页文件总大小（MB）： 37471\n"),
            std::string::npos);
}

// Each case of data/diff_cases.json: two profiles (a file of the source tree, or written from the
// case), the changes `diff --json` prints (the "values" of an added or removed device compared
// only where the case gives them), the lines plain `diff` prints, and the status.
TEST_F(VelmoraTest, DiffShowsWhatChangedBetweenTwoProfiles) {
  const fs::path source = VELMORA_SOURCE_DIR;
  const json cases = json::parse(ReadFile(source / "tests/cli/data/diff_cases.json"));
  for (const json& c : cases) {
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
    json changes = run.out.empty() ? json::array() : json::parse(run.out);
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

TEST_F(VelmoraTest, UsageErrorsExitTwoWithOneLine) {
  const std::vector<std::string> cases[] = {{"pairs"},
                                            {"pairs", "disk"},
                                            {"pairs", "os", "extra"},
                                            {"--bogus"},
                                            {"capture", "--json"},
                                            {"--profile"},
                                            {"--profile", "/no/such/file.json", "pairs", "os"},
                                            {"frobnicate"}};
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    const Outcome run = Velmora(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("velmora: ")) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

TEST_F(VelmoraTest, HelpAndVersionExitZero) {
  Outcome run = Velmora({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("pairs"), std::string::npos);
  EXPECT_NE(run.out.find("--profile"), std::string::npos);
  run = Velmora({"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "velmora " VELMORA_VERSION "\n");
}

#ifndef _WIN32
// The bare container fixture read as this machine: the provider says why its records are
// empty, and a capture with its reasons replays as one without, which has no machine to ask.
TEST_F(VelmoraTest, ReasonsStandInForNoneAndDoNotChangeTheReplay) {
  ASSERT_EQ(::setenv("HARNEL_ROOT", VELMORA_SOURCE_DIR "/tests/probe/data/container", 1), 0);
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

  const Outcome plain = Velmora({"--profile", (dir_ / "plain.json").string()});
  const Outcome replayed = Velmora({"--profile", (dir_ / "reasons.json").string()});
  EXPECT_EQ(replayed.status, 0) << replayed.err;
  EXPECT_EQ(replayed.err, "");
  EXPECT_EQ(replayed.out, plain.out);
  EXPECT_NE(replayed.out.find("Monitors\n  (none)\n"), std::string::npos);
}
#endif

TEST_F(VelmoraTest, UnusableProfileIsOneLineOnStandardError) {
  std::ofstream(dir_ / "bad.json") << "{\"OS\": [";
  for (bool pairs : {true, false}) {
    SCOPED_TRACE(pairs ? "pairs os" : "whole inventory");
    std::vector<std::string> args = {"--profile", (dir_ / "bad.json").string()};
    if (pairs) args.insert(args.end(), {"pairs", "os"});
    const Outcome run = Velmora(args);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find((dir_ / "bad.json").string()), std::string::npos) << run.err;
  }
  EXPECT_EQ(Velmora({"--profile", (dir_ / "bad.json").string(), "pairs", "os"}).status, 1);
}

}  // namespace

namespace {

TEST_F(VelmoraTest, XmlPrintsTheFilledTemplateAsItStands) {
  const fs::path profile = Profile(
      json{{"StorageList",
            {{{"name", "disk & <0>"}, {"mediaType", "Fixed\thard disk media"}, {"sizeMB", 512}},
             {{"name", "dvd"}, {"mediaType", "CD-ROM"}}}}});
  Outcome result = Velmora({"xml", "5003", "--profile", profile.string()});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.rfind("<?xml", 0), 0u) << "no byte-order mark before the declaration";
  EXPECT_NE(result.out.find("id=\"500302\" name=\"磁盘驱动器\""), std::string::npos);
  EXPECT_NE(result.out.find("id=\"500303\" name=\"光盘驱动器\""), std::string::npos);
  EXPECT_NE(result.out.find("value=\"disk &amp; &lt;0&gt;\""), std::string::npos);
  EXPECT_NE(result.out.find("value=\"512 MB\""), std::string::npos);
  EXPECT_EQ(result.out.back(), '\n') << "the template's own last line break, nothing added";

  // A negative category is a category, not an option: the other-devices template answers.
  result = Velmora({"xml", "-1", "--profile", profile.string()});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("type=\"5007\""), std::string::npos);

  result = Velmora({"xml"});
  EXPECT_EQ(result.status, 2);
  result = Velmora({"xml", "five"});
  EXPECT_EQ(result.status, 2);
}

}  // namespace
