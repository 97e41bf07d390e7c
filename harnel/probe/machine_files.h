#pragma once
// The one way the readers reach the machine: every path is taken relative to a root folder,
// so that a fixture tree can stand in for "/".

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harnel::probe {

// The whole content of `path` (an absolute machine path such as "/proc/meminfo") under
// `root`, at most `limit` bytes; nullopt when it is missing, unreadable or not a regular file
// or kernel attribute. Never blocks on a FIFO and never throws for I/O problems.
std::optional<std::string> ReadMachineFile(const std::filesystem::path& root, std::string_view path,
                                           std::size_t limit = std::size_t{1} << 22);

// The last `tail` bytes of the file, cut so that its length from the end is a multiple of
// `unit` (whole records of a record file); nullopt as for ReadMachineFile.
std::optional<std::string> ReadMachineFileTail(const std::filesystem::path& root,
                                               std::string_view path, std::size_t tail,
                                               std::size_t unit);

// A file mapped into memory read-only, for large databases that are only scanned (pci.ids):
// no copy and no fresh pages to fill. Empty when the file cannot be mapped.
class MappedFile {
 public:
  MappedFile(const std::filesystem::path& root, std::string_view path);
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();
  // The file's bytes; valid while this object lives.
  std::string_view Bytes() const { return {static_cast<const char*>(data_), size_}; }

 private:
  void* data_ = nullptr;
  std::size_t size_ = 0;
};

// The file's text with surrounding white space (and trailing NUL bytes) removed; nullopt when
// it is unreadable or holds only white space.
std::optional<std::string> ReadMachineText(const std::filesystem::path& root,
                                           std::string_view path);

// The names inside the folder `path` under `root`, sorted; empty when it cannot be listed.
std::vector<std::string> ListMachineDir(const std::filesystem::path& root, std::string_view path);

// The target of the symbolic link `path` under `root` as stored; empty when it is no link.
std::string ReadMachineLink(const std::filesystem::path& root, std::string_view path);

// True when `path` exists under `root` (links followed).
bool MachineFileExists(const std::filesystem::path& root, std::string_view path);

// `path` placed under `root`.
std::filesystem::path UnderRoot(const std::filesystem::path& root, std::string_view path);

// True when `root` names the running machine's own root, where live-only sources (CPUID,
// the interface address list) describe the same machine as the files.
bool IsLiveRoot(const std::filesystem::path& root);

}  // namespace harnel::probe
