#include "platform/system_error.h"

#include <cerrno>
#include <cstring>

#include "platform/code_page_conversion.h"

namespace platform {

namespace {

// strerror_r comes in two shapes: the GNU one returns the message (not always in the buffer),
// the POSIX one fills the buffer and returns 0 on success.
[[maybe_unused]] const char* MessageOf(char* result, const char*) { return result; }
[[maybe_unused]] const char* MessageOf(int result, const char* buffer) {
  return result == 0 ? buffer : "";
}

}  // namespace

int LastSystemError() { return errno; }

WString SystemErrorMessage(int code) {
  char buffer[256] = {};
  const char* message = MessageOf(strerror_r(code, buffer, sizeof buffer), buffer);
  int length = static_cast<int>(std::strlen(message));
  // The message is in the locale's code set, which is what the ANSI code page stands for.
  int units = ConvertToUtf16(0, message, length, nullptr, 0);
  WString text(static_cast<size_t>(units), WChar{});
  ConvertToUtf16(0, message, length, text.data(), units);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace platform
