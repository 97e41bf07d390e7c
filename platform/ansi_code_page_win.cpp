#include "platform/ansi_code_page.h"

#include <windows.h>

namespace platform {

int AnsiCodePage() { return static_cast<int>(GetACP()); }

}  // namespace platform
