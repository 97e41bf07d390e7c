#pragma once
// A fresh folder for each test, named after it, removed with everything in it afterwards.

#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>

class TempFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("velmora-" + std::to_string(std::random_device{}()) + "-" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
};
