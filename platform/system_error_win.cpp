#include "platform/system_error.h"

#include <windows.h>

namespace platform {

namespace {

// The message buffer of the file-error record: a longer message is not taken.
constexpr DWORD kMessageRoom = 100;

}  // namespace

int LastSystemError() { return static_cast<int>(GetLastError()); }

WString SystemErrorMessage(int code) {
  WChar buffer[kMessageRoom] = {};
  // FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, default language.
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(code), 0, buffer, kMessageRoom, nullptr);
  WString text(buffer, length);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace platform
