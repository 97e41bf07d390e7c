#pragma once
// The one way the readers reach the machine: every path is taken relative to a root folder,
// so that a fixture tree can stand in for "/".

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "harnel/file_identity.h"

namespace harnel::linux {

// What a reader found at one path of the machine, kept beside the record it read so that the
// reasons for empty values tell of that same read. The reads below fill one when given one.
struct SourceFact {
  std::string path;    // "/etc/machine-id"
  int error = 0;       // why it could not be opened: the system's error number; EISDIR or ESPIPE
                       // for what is no regular file
  bool read = false;   // it was read (a folder: listed)
  bool blank = false;  // it was read and held only white space
  std::string placeholder;  // the firmware's filler text it held instead of a value
  bool Missing() const { return error == ENOENT || error == ENOTDIR; }
  // Takes `tried` as the next of the places a value may come from, in order: the first that is
  // there stands for them all; when none is, the fact names them all ("/run/utmp or
  // /var/run/utmp") as missing.
  void Candidate(SourceFact tried);
};

// The whole content of `path` (an absolute machine path such as "/proc/meminfo") under
// `root`, at most `limit` bytes; nullopt when it is missing, unreadable or not a regular file
// or kernel attribute. Never blocks on a FIFO and never throws for I/O problems.
std::optional<std::string> ReadMachineFile(const std::filesystem::path& root, std::string_view path,
                                           std::size_t limit = std::size_t{1} << 22,
                                           SourceFact* fact = nullptr);

// The last `tail` bytes of the file, cut so that its length from the end is a multiple of
// `unit` (whole records of a record file); nullopt as for ReadMachineFile.
std::optional<std::string> ReadMachineFileTail(const std::filesystem::path& root,
                                               std::string_view path, std::size_t tail,
                                               std::size_t unit, SourceFact* fact = nullptr);

// What the readers work out from one file of the machine (where pci.ids entries start, the
// names found in it), kept for the whole process: it cannot change while the file stays the
// same. It is started afresh when the file changes, and when it holds more than a bound, so
// that a long-running process does not grow it without end. `Value` tells how many items it
// holds with Size().
template <typename Value>
class FileMemo {
 public:
  // Calls `use(value)` with the value locked, emptied first when it was worked out from
  // another file or version than `file` or holds more than `limit` items; returns what `use`
  // returns.
  template <typename Use>
  decltype(auto) With(const FileIdentity& file, std::size_t limit, Use&& use) {
    const std::lock_guard lock(mutex_);
    if (!(file_ == file) || value_.Size() > limit) {
      file_ = file;
      value_ = Value();
    }
    return use(value_);
  }

 private:
  std::mutex mutex_;  // held for a whole use
  FileIdentity file_;
  Value value_{};
};

// A regular file under the root, open for reads at any offset: large databases (pci.ids) are
// looked up a few small pieces at a time rather than read or mapped whole, since every page
// brought into the process costs more than the lookup itself.
class MachineFile {
 public:
  // Opens `path` under `root`; not open when it is missing, unreadable or not a regular file,
  // and then errno says why: the system's reason, EISDIR for a folder, ESPIPE for a FIFO,
  // socket or device.
  MachineFile(const std::filesystem::path& root, std::string_view path);
  MachineFile(const MachineFile&) = delete;
  MachineFile& operator=(const MachineFile&) = delete;
  ~MachineFile();
  bool IsOpen() const { return fd_ >= 0; }
  // The file's size when it was opened; 0 when not open.
  std::size_t Size() const { return size_; }
  // The file and its version when it was opened; all zero when not open.
  const FileIdentity& Identity() const { return identity_; }
  // Reads up to `size` bytes at `offset` into `buffer`; returns how many, 0 at the end of the
  // file, on an error or when not open.
  std::size_t ReadAt(std::size_t offset, char* buffer, std::size_t size) const;

 private:
  int fd_ = -1;
  std::size_t size_ = 0;
  FileIdentity identity_;
};

// The file's text with surrounding white space (and trailing NUL bytes) removed; nullopt when
// it is unreadable or holds only white space.
std::optional<std::string> ReadMachineText(const std::filesystem::path& root, std::string_view path,
                                           SourceFact* fact = nullptr);

// The names inside the folder `path` under `root`, sorted; empty when it cannot be listed.
std::vector<std::string> ListMachineDir(const std::filesystem::path& root, std::string_view path,
                                        SourceFact* fact = nullptr);

// The target of the symbolic link `path` under `root` as stored; empty when it is no link.
std::string ReadMachineLink(const std::filesystem::path& root, std::string_view path);

// True when `path` exists under `root` (links followed).
bool MachineFileExists(const std::filesystem::path& root, std::string_view path);

// `path` placed under `root`.
std::filesystem::path UnderRoot(const std::filesystem::path& root, std::string_view path);

// True when `root` names the running machine's own root, where live-only sources (CPUID,
// the interface address list) describe the same machine as the files.
bool IsLiveRoot(const std::filesystem::path& root);

}  // namespace harnel::linux
