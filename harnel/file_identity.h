#pragma once
// Which file, in which version.

#include <cstdint>

namespace harnel {

// Equal identities name the same unchanged content: the same file (device and inode, where the
// system has them) with the same size and modification time. All zero: no file.
struct FileIdentity {
  std::uint64_t device = 0, inode = 0, size = 0, modifiedSeconds = 0, modifiedNanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};

}  // namespace harnel
