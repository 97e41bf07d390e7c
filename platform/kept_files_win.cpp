#include <windows.h>

#include <aclapi.h>

#include <iterator>
#include <memory>
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

// Refused when the file's access list lets everyone, the machine's users or any signed-in user
// read it: the groups through which a secret would reach another account. Grants to the owner,
// administrators and the system are what an owner-only file has.
std::string CheckOwnerOnly(const std::filesystem::path& path) {
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD error = GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                            nullptr, nullptr, &acl, nullptr, &descriptor);
  if (error != ERROR_SUCCESS) return Reason(error);
  const std::unique_ptr<void, decltype(&LocalFree)> owned(descriptor, &LocalFree);
  if (acl == nullptr)
    return "its access list lets everyone read it; it must be readable by its owner only";
  const WELL_KNOWN_SID_TYPE groups[] = {WinWorldSid, WinBuiltinUsersSid, WinAuthenticatedUserSid};
  const char* names[] = {"everyone", "the machine's users", "every signed-in user"};
  for (std::size_t g = 0; g < std::size(groups); ++g) {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    if (!CreateWellKnownSid(groups[g], nullptr, sid, &size)) continue;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
      void* entry = nullptr;
      if (!GetAce(acl, i, &entry)) continue;
      const auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(entry);
      if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
      if ((ace->Mask & (FILE_READ_DATA | GENERIC_READ | GENERIC_ALL)) == 0) continue;
      if (EqualSid(const_cast<DWORD*>(&ace->SidStart), sid)) {
        return std::string("its access list lets ") + names[g] +
               " read it; it must be readable by its owner only";
      }
    }
  }
  return {};
}

}  // namespace platform
