#include "platform/file_permissions.h"

#include <memory>

#include <aclapi.h>
#include <windows.h>

namespace platform {
namespace {

struct LocalMemoryFree {
  void operator()(void* memory) const noexcept { LocalFree(memory); }
};

constexpr WELL_KNOWN_SID_TYPE kEveryoneElse[] = {WinWorldSid, WinBuiltinUsersSid,
                                                 WinAuthenticatedUserSid};
constexpr ACCESS_MASK kReading = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;

bool IsEveryoneElse(PSID sid) {
  for (const WELL_KNOWN_SID_TYPE type : kEveryoneElse) {
    if (IsWellKnownSid(sid, type)) return true;
  }
  return false;
}

}  // namespace

std::optional<bool> OnlyOwnerMayRead(const std::filesystem::path& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::unique_ptr<void, LocalMemoryFree> owned(descriptor);
  if (dacl == nullptr) return false;  // no list at all: everyone may do anything
  for (DWORD index = 0; index < dacl->AceCount; ++index) {
    void* entry = nullptr;
    if (!GetAce(dacl, index, &entry)) return std::nullopt;
    const auto* header = static_cast<const ACE_HEADER*>(entry);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & kReading) != 0 && IsEveryoneElse(&allowed->SidStart)) return false;
  }
  return true;
}

}  // namespace platform
