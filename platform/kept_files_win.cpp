#include <windows.h>

#include <system_error>

#include "platform/kept_files.h"

namespace platform {
namespace {

std::string Reason(DWORD error) {
  return std::error_code(static_cast<int>(error), std::system_category()).message();
}

// Closes a handle once.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }
  bool Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != FALSE;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::optional<std::string> ReadKeptFile(const std::filesystem::path& path, std::size_t limit,
                                        std::string& why) {
  Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    // A folder cannot be opened as a file: say what it is rather than "access denied".
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    why = folder ? "a folder, not a file" : Reason(error);
    return std::nullopt;
  }
  // A pipe or a device would make ReadFile wait; only a file on a disk is read.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    why = "not a regular file";
    return std::nullopt;
  }
  std::string bytes;
  char block[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), block, sizeof block, &got, nullptr)) {
      why = Reason(GetLastError());
      return std::nullopt;
    }
    if (got == 0) return bytes;
    if (bytes.size() + got > limit) {
      why = "larger than " + std::to_string(limit) + " bytes";
      return std::nullopt;
    }
    bytes.append(block, got);
  }
}

std::string ReplaceFileDurably(const std::filesystem::path& path, const std::string& bytes) {
  // One temporary name per file: runs never overlap (the agent's lock), and what a killed run
  // left there is simply written over.
  const std::filesystem::path temporary = path.wstring() + L".new";
  Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    return temporary.string() + ": " + Reason(GetLastError());
  }
  std::size_t done = 0;
  bool written = true;
  while (written && done < bytes.size()) {
    DWORD count = 0;
    const std::size_t left = bytes.size() - done;
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    written = WriteFile(file.get(), bytes.data() + done, chunk, &count, nullptr) != FALSE;
    done += count;
  }
  if (!written || !FlushFileBuffers(file.get()) || !file.Close()) {
    const std::string why = temporary.string() + ": " + Reason(GetLastError());
    DeleteFileW(temporary.c_str());
    return why;
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const std::string why = path.string() + ": " + Reason(GetLastError());
    DeleteFileW(temporary.c_str());
    return why;
  }
  return {};
}

// The file's access list is left to the folder it lies in (%ProgramData%\Velmora, which only
// administrators may write); reading the list for every group that may read it is not done.
std::string CheckOwnerOnly(const std::filesystem::path&) { return {}; }

}  // namespace platform
