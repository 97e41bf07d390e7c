#include "platform/state_places.h"

#include <stdlib.h>

namespace platform {

std::vector<std::filesystem::path> StateFolders(const char* program) {
  std::vector<std::filesystem::path> folders;
  for (const wchar_t* variable : {L"ProgramData", L"LOCALAPPDATA"}) {
    const wchar_t* folder = _wgetenv(variable);
    if (folder != nullptr && folder[0] != L'\0')
      folders.push_back(std::filesystem::path(folder) / program);
  }
  return folders;
}

}  // namespace platform
