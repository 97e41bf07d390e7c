#pragma once
// The path of the host program (the executable of this process, not of this library).

#include "base/text.h"

namespace platform {

// Returns the full path of the running executable, or empty when the system does not say.
WString HostProgramPath();

}  // namespace platform
