#include "platform/host_path.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(HostPathTest, IsTheRunningExecutable) {
  WString path = HostProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  std::u16string expected = std::filesystem::read_symlink("/proc/self/exe").u16string();
  EXPECT_EQ(path, WString(expected.begin(), expected.end()));
  EXPECT_TRUE(path.ends_with(WTEXT("/platform_test")));
}

}  // namespace
}  // namespace platform
