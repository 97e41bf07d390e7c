#pragma once
// A fresh folder for each test, removed with everything in it afterwards.

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

class TempFolderTest : public testing::Test {
 protected:
  velmora_test::ScratchDir scratch_;
  const std::filesystem::path& dir_ = scratch_.Path();
};
