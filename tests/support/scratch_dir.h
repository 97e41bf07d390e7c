// A folder of the test's own under the temporary folder, empty or a copy of a tree (symbolic
// links copied as links), removed with everything in it when it goes out of scope.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace velmora_test {

class ScratchDir {
 public:
  explicit ScratchDir(const std::filesystem::path& copyOf = {})
      : path_(std::filesystem::temp_directory_path() /
              ("velmora-test-" + std::to_string(std::random_device{}()))) {
    std::filesystem::remove_all(path_);
    if (copyOf.empty()) {
      std::filesystem::create_directories(path_);
    } else {
      std::filesystem::copy(
          copyOf, path_,
          std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
    }
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

  // Writes `bytes` to the file `name` under the folder, making the folders on its way.
  std::filesystem::path Write(const std::filesystem::path& name, std::string_view bytes) const {
    const std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    return file;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace velmora_test
