#pragma once
// Who may read a file: a file of secrets is refused when others than its owner may.

#include <filesystem>
#include <optional>

namespace platform {

// Whether only the file's owner (and the system's administrators) may read `path`: no group or
// other bits on Linux; no read access for Everyone, Users or Authenticated Users in the file's
// ACL on Windows. nullopt when the file cannot be examined.
std::optional<bool> OnlyOwnerMayRead(const std::filesystem::path& path);

}  // namespace platform
