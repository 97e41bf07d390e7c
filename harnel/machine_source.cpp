#include "harnel/machine_source.h"

#include <cstdlib>

namespace harnel {

MachineSource MachineSourceFromEnvironment() {
  const char* profile = std::getenv("HARNEL_PROFILE");
  const char* root = std::getenv("HARNEL_ROOT");
  MachineSource source{std::nullopt, root != nullptr && *root != 0 ? root : "/"};
  if (profile != nullptr && *profile != 0) source.profile = profile;
  return source;
}

}  // namespace harnel
