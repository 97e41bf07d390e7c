#include "harnel/profile_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace harnel {
namespace {

struct CloseFile {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

// Size and modification time only: the C runtime gives no inode here, and the drive number
// only when it is asked by path, not by open file.
FileIdentity IdentityOf(const struct _stat64& info) {
  return {0, 0, static_cast<std::uint64_t>(info.st_size), static_cast<std::uint64_t>(info.st_mtime),
          0};
}

bool IsRegular(const struct _stat64& info) { return (info.st_mode & _S_IFMT) == _S_IFREG; }

}  // namespace

ProfileBytes ReadProfileFile(const std::filesystem::path& path, std::size_t limit) {
  ProfileBytes result;
  errno = 0;
  // A folder is not opened at all; a console, serial port or pipe is opened but not read,
  // since a read from one can wait for ever.
  const std::unique_ptr<std::FILE, CloseFile> file(_wfopen(path.c_str(), L"rb"));
  struct _stat64 info {};
  if (!file) {
    result.problem = errno != 0 ? std::strerror(errno) : "cannot be opened";
    return result;
  }
  if (_fstat64(_fileno(file.get()), &info) != 0 || !IsRegular(info)) {
    result.problem = "not a regular file (a pipe or device)";
    return result;
  }
  result.identity = IdentityOf(info);
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > limit) {
    result.tooLarge = true;
    return result;
  }
  result.bytes.resize(static_cast<std::size_t>(size));
  const std::size_t read = std::fread(result.bytes.data(), 1, result.bytes.size(), file.get());
  if (read < result.bytes.size()) {
    result.bytes.clear();
    result.problem = "cannot be read whole";
  }
  return result;
}

FileIdentity ProfileFileIdentity(const std::filesystem::path& path) {
  struct _stat64 info {};
  if (_wstat64(path.c_str(), &info) != 0 || !IsRegular(info)) return {};
  return IdentityOf(info);
}

}  // namespace harnel
