#pragma once
// Files a host program keeps between runs: read whole without ever waiting, replaced so that a
// crash leaves the old or the new one whole, and checked for who may read them.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The bytes of the regular file at `path`, at most `limit` of them; none, with `why` set to one
// line (the system's reason, or "larger than N bytes"), when it cannot be read. A FIFO, socket
// or device is refused, not waited on.
std::optional<std::string> ReadKeptFile(const std::filesystem::path& path, std::size_t limit,
                                        std::string& why);

// Replaces the file at `path` with `bytes`: written to a temporary file beside it, flushed to
// the disk, then renamed over it, so that the file holds either its old or its new bytes
// whatever happens to the process or the machine. The new file is readable by its owner only.
// Returns an empty string, or why it failed on one line (the old file then stays).
std::string ReplaceFileDurably(const std::filesystem::path& path, const std::string& bytes);

// Empty when only the owner of the file at `path` may read it; else why not, on one line (the
// file's mode; on Windows, the group its access list lets read it).
std::string CheckOwnerOnly(const std::filesystem::path& path);

}  // namespace platform
