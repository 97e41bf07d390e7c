// Reading the machine's files, folders and links under a root folder, without blocking.

#include "harnel/linux/machine_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

#include "harnel/decode/text_util.h"

namespace harnel::linux {
namespace {

// Owns one descriptor; close is not retried on EINTR since the descriptor is gone either way.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const noexcept { return fd_; }
  // Hands the descriptor over to the caller, who closes it.
  int Release() noexcept { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace

namespace {

// UnderRoot as plain text, for the calls that only hand the path to the system: building a
// std::filesystem::path splits it into its components, which costs more than the file's read.
std::string UnderRootText(const std::filesystem::path& root, std::string_view path) {
  while (!path.empty() && path.front() == '/') path.remove_prefix(1);
  std::string full = root.native();
  if (full.empty()) return std::string(path);
  if (full.back() != '/') full += '/';
  return full.append(path);
}

}  // namespace

std::filesystem::path UnderRoot(const std::filesystem::path& root, std::string_view path) {
  return UnderRootText(root, path);
}

namespace {

// Opens `path` under `root` for reading when it is a regular file (kernel attributes are);
// O_NONBLOCK: a FIFO or device node in a strange tree must never hold the caller.
FileDescriptor OpenRegular(const std::filesystem::path& root, std::string_view path,
                           struct stat& info) {
  const std::string full = UnderRootText(root, path);
  FileDescriptor fd(::open(full.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0) return FileDescriptor(-1);
  if (!S_ISREG(info.st_mode)) {
    // What seeking on a stream gives: it has no size to read up to. (Closing the descriptor
    // afterwards succeeds and leaves errno alone.)
    errno = S_ISDIR(info.st_mode) ? EISDIR : ESPIPE;
    return FileDescriptor(-1);
  }
  return fd;
}

std::optional<std::string> ReadAll(const FileDescriptor& fd, std::size_t limit) {
  if (fd.Get() < 0) return std::nullopt;
  std::string content;
  char buffer[8192];
  while (content.size() < limit) {
    const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
    // A short read is the end: kernel attributes and /proc files hand out all they hold up to
    // the size asked for, and regular files stop short only at their end. One call saved per
    // file is a tenth of the whole inventory's system calls.
    if (static_cast<std::size_t>(got) < sizeof buffer) break;
  }
  if (content.size() > limit) content.resize(limit);
  return content;
}

// True for the kernel's own files of the running machine: /sys and the system-wide part of
// /proc hold only attributes and folders, never a FIFO or a device node, so their opening
// needs no fstat to rule one out (a folder fails at the read). A process's own entries
// (/proc/self/fd/0, /proc/1/...) can lead to a terminal and keep the check.
bool IsKernelAttribute(const std::filesystem::path& root, std::string_view path) {
  if (root.native() != "/") return false;
  if (path.starts_with("/sys/")) return true;
  if (!path.starts_with("/proc/")) return false;
  path.remove_prefix(6);
  return !path.empty() && !(path[0] >= '0' && path[0] <= '9') && !path.starts_with("self") &&
         !path.starts_with("thread-self");
}

// Opens a kernel attribute for reading, as OpenRegular without the fstat.
FileDescriptor OpenKernelAttribute(std::string_view path) {
  return FileDescriptor(
      ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
}

// Notes in `fact`, when there is one, what reading `path` came to: `content` when it was read,
// else the error of opening it (`opened` false), or of reading it.
std::optional<std::string> Noted(SourceFact* fact, std::string_view path, bool opened,
                                 std::optional<std::string> content) {
  if (fact == nullptr) return content;
  const int error = errno;
  fact->path = path;
  fact->read = content.has_value();
  fact->blank = content && decode::Trim(*content).empty();
  // A folder under /sys or /proc opens as a file and fails at its read.
  fact->error = !opened || (!content && error == EISDIR) ? error : 0;
  return content;
}

}  // namespace

std::optional<std::string> ReadMachineFile(const std::filesystem::path& root, std::string_view path,
                                           std::size_t limit, SourceFact* fact) {
  struct stat info {};
  const FileDescriptor fd =
      IsKernelAttribute(root, path) ? OpenKernelAttribute(path) : OpenRegular(root, path, info);
  if (fd.Get() < 0) return Noted(fact, path, false, std::nullopt);
  return Noted(fact, path, true, ReadAll(fd, limit));
}

std::optional<std::string> ReadMachineFileTail(const std::filesystem::path& root,
                                               std::string_view path, std::size_t tail,
                                               std::size_t unit, SourceFact* fact) {
  struct stat info {};
  const FileDescriptor fd = OpenRegular(root, path, info);
  if (fd.Get() < 0) return Noted(fact, path, false, std::nullopt);
  const auto size = static_cast<std::size_t>(info.st_size);
  std::size_t skip = size > tail ? size - tail : 0;
  if (unit > 1 && skip % unit != 0) skip += unit - skip % unit;
  if (skip > 0 && ::lseek(fd.Get(), static_cast<off_t>(skip), SEEK_SET) < 0) {
    return Noted(fact, path, true, std::nullopt);
  }
  return Noted(fact, path, true, ReadAll(fd, tail));
}

MachineFile::MachineFile(const std::filesystem::path& root, std::string_view path) {
  struct stat info {};
  FileDescriptor fd = OpenRegular(root, path, info);
  if (fd.Get() < 0) return;
  size_ = static_cast<std::size_t>(info.st_size);
  identity_ = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
               static_cast<std::uint64_t>(info.st_size),
               static_cast<std::uint64_t>(info.st_mtim.tv_sec),
               static_cast<std::uint64_t>(info.st_mtim.tv_nsec)};
  fd_ = fd.Release();
}

MachineFile::~MachineFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t MachineFile::ReadAt(std::size_t offset, char* buffer, std::size_t size) const {
  if (fd_ < 0) return 0;
  for (;;) {
    const ssize_t got = ::pread(fd_, buffer, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    return got < 0 ? 0 : static_cast<std::size_t>(got);
  }
}

std::optional<std::string> ReadMachineText(const std::filesystem::path& root, std::string_view path,
                                           SourceFact* fact) {
  std::optional<std::string> content = ReadMachineFile(root, path, 1 << 16, fact);
  if (!content) return std::nullopt;
  std::string_view text = decode::Trim(*content);
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

std::vector<std::string> ListMachineDir(const std::filesystem::path& root, std::string_view path,
                                        SourceFact* fact) {
  // The entries straight from getdents64: std::filesystem::directory_iterator builds a whole
  // path for each entry, and opendir or fdopendir add a stat, two flag calls and a 32 KB
  // buffer on the heap to each listing.
  std::vector<std::string> names;
  const FileDescriptor fd(
      ::open(UnderRootText(root, path).c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY | O_NONBLOCK));
  if (fact != nullptr) {
    fact->path = path;
    fact->error = fd.Get() < 0 ? errno : 0;
    fact->read = fd.Get() >= 0;
  }
  if (fd.Get() < 0) return names;
  alignas(dirent64) char buffer[8192];
  for (;;) {
    const ssize_t got = ::getdents64(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
      const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") names.emplace_back(name);
      at += entry->d_reclen;
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadMachineLink(const std::filesystem::path& root, std::string_view path) {
  std::error_code error;
  std::filesystem::path target = std::filesystem::read_symlink(UnderRoot(root, path), error);
  return error ? std::string() : target.string();
}

bool MachineFileExists(const std::filesystem::path& root, std::string_view path) {
  std::error_code error;
  return std::filesystem::exists(UnderRoot(root, path), error);
}

void SourceFact::Candidate(SourceFact tried) {
  if (path.empty() || (Missing() && !tried.Missing())) {
    *this = std::move(tried);
  } else if (Missing()) {
    path += " or " + tried.path;
  }
}

bool IsLiveRoot(const std::filesystem::path& root) {
  return root.lexically_normal() == std::filesystem::path("/");
}

}  // namespace harnel::linux
