#pragma once
// Opening a file by a UTF-16 path.

#include <cstdio>
#include <memory>

#include "provider/text.h"

namespace platform {

// Closes the stream of a FileStream that still holds one when it is destroyed.
struct FileCloser {
  void operator()(std::FILE* stream) const noexcept { std::fclose(stream); }
};

// An owned C stream; release() it to close it yourself and see whether the close failed.
using FileStream = std::unique_ptr<std::FILE, FileCloser>;

// Opens the file at the zero-terminated `path` for binary reading. On failure returns null and
// leaves the reason in the last system error (LastSystemError).
FileStream OpenFileForReading(const WChar* path);

}  // namespace platform
