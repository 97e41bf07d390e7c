#include "harnel/current_core.h"

#include <cstdlib>

namespace harnel {

// Chosen once, at the first call: HARNEL_PROFILE names a profile to replay; otherwise the
// machine is read under HARNEL_ROOT (default "/"), which lets tests point at a fixture tree.
// Should memory run out while it is made, the next call makes it again.
ProviderCore& CurrentCore() {
  static ProviderCore core = [] {
    const char* profile = std::getenv("HARNEL_PROFILE");
    const char* root = std::getenv("HARNEL_ROOT");
    std::optional<std::filesystem::path> profilePath;
    if (profile != nullptr && *profile != 0) profilePath = profile;
    return ProviderCore(profilePath, root != nullptr && *root != 0 ? root : "/");
  }();
  return core;
}

}  // namespace harnel
