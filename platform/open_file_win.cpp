#include "platform/open_file.h"

#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace platform {

FileStream OpenFileForReading(const WChar* path) {
  // The C runtime's wide open leaves the system's reason in GetLastError on failure; a folder
  // is not opened at all (access denied).
  FileStream stream(_wfopen(path, L"rb"));
  if (stream == nullptr) return stream;
  // Only files on disk are read: a console, a serial port or a pipe can hold a read for ever.
  // They get the system's reason for a device whose size cannot be measured by seeking.
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream.get())));
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    stream.reset();
    SetLastError(ERROR_SEEK_ON_DEVICE);
  }
  return stream;
}

}  // namespace platform
