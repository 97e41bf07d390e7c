#include "harnel/profile_file.h"

#include <cerrno>
#include <cstring>

#include "harnel/linux/machine_files.h"

namespace harnel {
namespace {

// The machine readers' file, which opens without waiting and only regular files; a relative
// path is taken from the working folder.
linux::MachineFile OpenProfile(const std::filesystem::path& path) {
  return linux::MachineFile(path.is_absolute() ? "/" : ".", path.native());
}

}  // namespace

ProfileBytes ReadProfileFile(const std::filesystem::path& path, std::size_t limit) {
  ProfileBytes result;
  errno = 0;
  const linux::MachineFile file = OpenProfile(path);
  if (!file.IsOpen()) {
    // MachineFile gives ESPIPE for anything that is not a regular file or a folder.
    result.problem = errno == ESPIPE ? "not a regular file (a FIFO, socket or device)"
                     : errno != 0    ? std::strerror(errno)
                                     : "cannot be opened";
    return result;
  }
  result.identity = file.Identity();
  if (file.Size() > limit) {
    result.tooLarge = true;
    return result;
  }
  // Exactly the size the file had when it was opened: one that grows meanwhile is cut there.
  result.bytes.resize(file.Size());
  std::size_t read = 0;
  while (read < result.bytes.size()) {
    const std::size_t got =
        file.ReadAt(read, result.bytes.data() + read, result.bytes.size() - read);
    if (got == 0) break;
    read += got;
  }
  if (read < result.bytes.size()) {
    result.bytes.clear();
    result.problem = "cannot be read whole";
  }
  return result;
}

FileIdentity ProfileFileIdentity(const std::filesystem::path& path) {
  return OpenProfile(path).Identity();
}

}  // namespace harnel
