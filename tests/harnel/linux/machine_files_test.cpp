// The file layer under every reader: a path is taken under the root however the root is
// written, a folder lists its names sorted, without "." and "..", and the running machine's
// kernel files are read without the check that keeps FIFOs and devices out, while everything
// else keeps it.

#include "harnel/linux/machine_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace harnel::linux {
namespace {

class MachineFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(root_ / "sys/class/net/eth0");
    std::filesystem::create_directories(root_ / "sys/class/net/bond0");
    scratch_.Write("sys/class/net/lo", "loopback\n");
  }

  const velmora_test::ScratchDir scratch_;
  const std::filesystem::path& root_ = scratch_.Path();
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

TEST_F(MachineFilesTest, AHostWithoutStandardInputGetsDescriptorZeroForAFileAndUsesIt) {
  const int saved = ::dup(0);
  ::close(0);
  EXPECT_EQ(ListMachineDir(root_, "/sys/class/net").size(), 3u);
  EXPECT_TRUE(MachineFile(root_, "/sys/class/net/lo").IsOpen());
  ::dup2(saved, 0);
  ::close(saved);
}

TEST(MachineFilesLiveTest, KernelFilesAreReadWithoutLettingOtherNodesIn) {
  EXPECT_EQ(ReadMachineFile("/", "/proc/sys/kernel/ostype"), "Linux\n");
  EXPECT_EQ(ReadMachineFile("/", "/sys/class"), std::nullopt);  // a folder

  // A FIFO with data waiting, reached through the process's own /proc entries: reading it
  // would take the data from its owner.
  const velmora_test::ScratchDir scratch;
  const std::filesystem::path fifo = scratch / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "kept", 4), 4);
  const std::string descriptor = "/fd/" + std::to_string(fd);
  for (const std::string& path : {"/proc/self" + descriptor, "/proc/thread-self" + descriptor,
                                  "/proc/" + std::to_string(::getpid()) + descriptor}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(ReadMachineFile("/", path), std::nullopt);
  }
  char buffer[8] = {};
  EXPECT_EQ(::read(fd, buffer, sizeof buffer), 4);
  EXPECT_EQ(std::string(buffer), "kept");
  ::close(fd);
}

}  // namespace
}  // namespace harnel::linux
