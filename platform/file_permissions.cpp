#include "platform/file_permissions.h"

#include <sys/stat.h>

namespace platform {

std::optional<bool> OnlyOwnerMayRead(const std::filesystem::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

}  // namespace platform
