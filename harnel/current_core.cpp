#include "harnel/current_core.h"

#include <utility>

#include "harnel/machine_source.h"

namespace harnel {

// Chosen once, at the first call (harnel/machine_source.h). Should memory run out while it is
// made, the next call makes it again.
ProviderCore& CurrentCore() {
  static ProviderCore core = [] {
    MachineSource source = MachineSourceFromEnvironment();
    return ProviderCore(std::move(source.profile), std::move(source.root));
  }();
  return core;
}

}  // namespace harnel
