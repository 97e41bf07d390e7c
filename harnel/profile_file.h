#pragma once
// Reading the bytes of a profile file, which may be anything a user names: a FIFO, a device,
// a folder, a file of any size.

#include <cstddef>
#include <filesystem>
#include <string>

#include "harnel/file_identity.h"

namespace harnel {

struct ProfileBytes {
  std::string bytes;      // the whole file; empty when it was not read
  FileIdentity identity;  // the file that was opened (its size included); all zero when none was
  bool tooLarge = false;  // the file was larger than the limit, and was not read
  std::string problem;    // why the file could not be opened or read
};

// Reads the regular file at `path` whole, never waiting: a FIFO, socket, device or folder is
// refused at once, and a file larger than `limit` bytes is not read at all.
ProfileBytes ReadProfileFile(const std::filesystem::path& path, std::size_t limit);

// The identity of the regular file at `path` as it is now; all zero when there is none.
FileIdentity ProfileFileIdentity(const std::filesystem::path& path);

}  // namespace harnel
