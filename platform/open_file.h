#pragma once
// Opening a file by a UTF-16 path.

#include <cstdio>
#include <memory>

#include "base/text.h"

namespace platform {

// Closes the stream of a FileStream that still holds one when it is destroyed.
struct FileCloser {
  void operator()(std::FILE* stream) const noexcept { std::fclose(stream); }
};

// An owned C stream; release() it to close it yourself and see whether the close failed.
using FileStream = std::unique_ptr<std::FILE, FileCloser>;

// Opens the file at the zero-terminated `path` for binary reading, without ever waiting: only a
// regular file (a file on disk) is opened. On failure returns null and leaves the reason in the
// last system error (LastSystemError): the system's own, EISDIR for a folder off Windows, and
// for a FIFO, socket or device what seeking on one gives (ESPIPE, ERROR_SEEK_ON_DEVICE).
FileStream OpenFileForReading(const WChar* path);

}  // namespace platform
