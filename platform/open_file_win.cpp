#include "platform/open_file.h"

#include <stdio.h>

namespace platform {

FileStream OpenFileForReading(const WChar* path) {
  // The C runtime's wide open leaves the system's reason in GetLastError on failure.
  return FileStream(_wfopen(path, L"rb"));
}

}  // namespace platform
