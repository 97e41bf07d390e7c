#pragma once
// The one ProviderCore that the exported functions serve.

#include "harnel/provider_core.h"

namespace harnel {

// The provider's core, chosen at the first call (a build for tests chooses its own).
ProviderCore& CurrentCore();

}  // namespace harnel
