#pragma once
// The calling thread's last system error and the system's text for an error code.

#include "base/text.h"

namespace platform {

// Returns the calling thread's last system error code (errno); a missing file gives 2.
int LastSystemError();

// Returns the system's message for error `code` in UTF-16, without a line break at the end;
// empty when the system has none.
WString SystemErrorMessage(int code);

}  // namespace platform
