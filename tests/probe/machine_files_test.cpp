// The file layer under every reader: a path is taken under the root however the root is
// written, and a folder lists its names sorted, without "." and "..".

#include "harnel/probe/machine_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace harnel::probe {
namespace {

class MachineFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("machine_files_test." + std::to_string(::getpid()));
    std::filesystem::create_directories(root_ / "sys/class/net/eth0");
    std::filesystem::create_directories(root_ / "sys/class/net/bond0");
    std::ofstream(root_ / "sys/class/net/lo") << "loopback\n";
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  std::filesystem::path root_;
};

TEST_F(MachineFilesTest, PathsAreTakenUnderTheRootHoweverItIsWritten) {
  const std::string rootText = root_.string();
  for (const std::filesystem::path& root :
       {root_, std::filesystem::path(rootText + "/"), std::filesystem::path(rootText + "//")}) {
    SCOPED_TRACE(root.string());
    for (std::string_view path : {"/sys/class/net/lo", "sys/class/net/lo", "//sys/class/net/lo"}) {
      EXPECT_EQ(ReadMachineFile(root, path), "loopback\n") << path;
    }
    EXPECT_EQ(ListMachineDir(root, "/sys/class/net"),
              (std::vector<std::string>{"bond0", "eth0", "lo"}));
  }
  // An empty root leaves the path as it is, relative to the working folder.
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(root_);
  EXPECT_EQ(ReadMachineFile("", "/sys/class/net/lo"), "loopback\n");
  EXPECT_EQ(ListMachineDir("", "/sys/class"), std::vector<std::string>{"net"});
  std::filesystem::current_path(before);
}

TEST_F(MachineFilesTest, WhatIsNoFolderListsNothing) {
  EXPECT_TRUE(ListMachineDir(root_, "/sys/class/net/lo").empty());         // a file
  EXPECT_TRUE(ListMachineDir(root_, "/sys/class/none").empty());           // missing
  EXPECT_TRUE(ListMachineDir(root_, "/sys/class/net/eth0").empty());       // empty
  EXPECT_EQ(ReadMachineFile(root_, "/sys/class/net/eth0"), std::nullopt);  // a folder
}

}  // namespace
}  // namespace harnel::probe
