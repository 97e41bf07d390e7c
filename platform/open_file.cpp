#include "platform/open_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace platform {

namespace {

// File names are bytes here, conventionally UTF-8. A lone surrogate has no UTF-8 form and
// becomes U+FFFD, which names a file that does not exist rather than some other file.
std::string ToUtf8(const WChar* text) {
  std::string bytes;
  for (const WChar* p = text; *p != 0; ++p) {
    char32_t c = *p;
    if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      bytes.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      bytes.push_back(static_cast<char>(0xC0 | c >> 6));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      bytes.push_back(static_cast<char>(0xE0 | c >> 12));
      bytes.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      bytes.push_back(static_cast<char>(0xF0 | c >> 18));
      bytes.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      bytes.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return bytes;
}

// Opens `name` without waiting for anything and keeps it only when it is a regular file.
// O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer, for ever (on a
// regular file the flag changes nothing, so it stays set). What
// is refused gets the reason the system itself gives: EISDIR for a folder, and for a FIFO,
// socket or device ESPIPE, what measuring its size (the reader's first step) gives a stream.
FileStream OpenRegularFile(const char* name) {
  const int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat info {};
  int error = 0;
  if (::fstat(fd, &info) != 0) {
    error = errno;
  } else if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : ESPIPE;
  }
  std::FILE* stream = error == 0 ? ::fdopen(fd, "rb") : nullptr;
  if (stream == nullptr) {
    if (error == 0) error = errno;
    ::close(fd);
    errno = error;
  }
  return FileStream(stream);
}

}  // namespace

FileStream OpenFileForReading(const WChar* path) {
  std::string name = ToUtf8(path);
  FileStream stream = OpenRegularFile(name.c_str());
  // Freeing the converted name must not disturb the error that the caller reports.
  int error = errno;
  name = std::string();
  errno = error;
  return stream;
}

}  // namespace platform
