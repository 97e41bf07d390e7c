#include "platform/host_path.h"

#include <windows.h>

namespace platform {

namespace {

// The classic path limit: a longer host path is not looked for.
constexpr DWORD kPathRoom = 260;

}  // namespace

WString HostProgramPath() {
  WChar buffer[kPathRoom] = {};
  // No module handle: the executable of the process, not this library.
  DWORD length = GetModuleFileNameW(nullptr, buffer, kPathRoom);
  if (length == 0 || length >= kPathRoom) return WString();
  return WString(buffer, length);
}

}  // namespace platform
