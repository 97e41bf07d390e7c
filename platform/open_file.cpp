#include "platform/open_file.h"

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

}  // namespace

FileStream OpenFileForReading(const WChar* path) {
  std::string name = ToUtf8(path);
  FileStream stream(std::fopen(name.c_str(), "rb"));
  // Freeing the converted name must not disturb the error that the caller reports.
  int error = errno;
  name = std::string();
  errno = error;
  return stream;
}

}  // namespace platform
