#include "harnel/probe/source_reasons.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "harnel/probe/machine_files.h"
#include "harnel/probe/reasons.h"
#include "harnel/probe/text_util.h"

namespace harnel::probe {

std::string ReasonForError(int error, std::string_view path) {
  if (error == ENOENT || error == ENOTDIR) return "no " + std::string(path);
  if (error == EACCES || error == EPERM) return std::string(kRootOnly);
  return std::string(path) + ": " + std::strerror(error);
}

std::string WhyUnread(const std::filesystem::path& root, std::string_view path) {
  const std::string full = UnderRoot(root, path).string();
  struct stat info {};
  if (::stat(full.c_str(), &info) != 0) return ReasonForError(errno, path);
  // /sys and /proc hold attributes that stat calls regular files, and folders.
  if (!S_ISREG(info.st_mode)) return std::string(path) + " is not a regular file";
  const int fd = ::open(full.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return ReasonForError(errno, path);
  ::close(fd);
  const std::optional<std::string> text = ReadMachineFile(root, path, 1 << 16);
  if (text && Trim(*text).empty()) return std::string(path) + " is empty";
  return std::string(path) + " holds no usable value";
}

std::string WhyUnread(const std::filesystem::path& root,
                      std::initializer_list<std::string_view> paths) {
  std::string none;
  for (std::string_view path : paths) {
    if (MachineFileExists(root, path)) return WhyUnread(root, path);
    none += (none.empty() ? "no " : " or ") + std::string(path);
  }
  return none;
}

}  // namespace harnel::probe
