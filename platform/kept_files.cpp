#include "platform/kept_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

std::string Reason(int error) { return std::strerror(error); }

// Closes a descriptor once; close is not retried on EINTR, which on Linux would close a
// descriptor another thread may have been given meanwhile.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and tells whether the close succeeded (a deferred write error shows here).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadKeptFile(const std::filesystem::path& path, std::size_t limit,
                                        std::string& why) {
  // O_NONBLOCK: a FIFO put in the file's place would otherwise wait for a writer for ever.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
    why = Reason(errno);
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    why = S_ISDIR(info.st_mode) ? "a folder, not a file" : "not a regular file";
    return std::nullopt;
  }
  std::string bytes;
  char block[16384];
  for (;;) {
    const ssize_t got = ::read(file.get(), block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      why = Reason(errno);
      return std::nullopt;
    }
    if (got == 0) return bytes;
    if (bytes.size() + static_cast<std::size_t>(got) > limit) {
      why = "larger than " + std::to_string(limit) + " bytes";
      return std::nullopt;
    }
    bytes.append(block, static_cast<std::size_t>(got));
  }
}

std::string ReplaceFileDurably(const std::filesystem::path& path, const std::string& bytes) {
  // One temporary name per file: runs never overlap (the agent's lock), and what a killed run
  // left there is simply written over.
  const std::filesystem::path temporary = path.string() + ".new";
  Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (file.get() < 0) return temporary.string() + ": " + Reason(errno);
  if (!WriteAll(file.get(), bytes) || ::fsync(file.get()) != 0 || !file.Close()) {
    const std::string why = temporary.string() + ": " + Reason(errno);
    ::unlink(temporary.c_str());
    return why;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string why = path.string() + ": " + Reason(errno);
    ::unlink(temporary.c_str());
    return why;
  }
  // The rename itself lasts only once the folder's entry is on the disk.
  Descriptor folder(::open(path.parent_path().empty() ? "." : path.parent_path().c_str(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) ::fsync(folder.get());
  return {};
}

std::string CheckOwnerOnly(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return Reason(errno);
  if ((info.st_mode & (S_IRWXG | S_IRWXO)) == 0) return {};
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
  return std::string("others may read it (mode ") + mode +
         "); it must be readable by its owner only";
}

}  // namespace platform
