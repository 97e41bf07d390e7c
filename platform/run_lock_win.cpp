#include <windows.h>

#include <system_error>

#include "platform/run_lock.h"

namespace platform {
namespace {

// A mutex name may not hold a backslash past its namespace: the folder's path with its
// separators replaced, lower-cased since Windows paths ignore case.
std::wstring MutexName(const std::filesystem::path& stateFolder) {
  std::wstring name = std::filesystem::absolute(stateFolder).lexically_normal().wstring();
  for (wchar_t& c : name) {
    if (c == L'\\' || c == L'/' || c == L':') c = L'|';
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return L"Global\\velmora-agent-" + name;
}

}  // namespace

RunLock::RunLock(const std::filesystem::path& stateFolder) {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(stateFolder).c_str());
  if (mutex == nullptr) {
    why_ = std::error_code(static_cast<int>(GetLastError()), std::system_category()).message();
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
  // An abandoned mutex is one whose holder ended without releasing it: it is ours now.
  const DWORD wait = WaitForSingleObject(mutex, 0);
  held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  if (wait == WAIT_FAILED) {
    why_ = std::error_code(static_cast<int>(GetLastError()), std::system_category()).message();
  }
}

RunLock::~RunLock() {
  if (handle_ == -1) return;
  const auto mutex = reinterpret_cast<HANDLE>(handle_);
  if (held_) ReleaseMutex(mutex);
  CloseHandle(mutex);
}

}  // namespace platform
