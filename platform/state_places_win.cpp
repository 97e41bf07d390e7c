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

namespace {

// %ProgramData%\Velmora; where the variable is unset, the folder it has on every installed system.
std::filesystem::path MachineFolder() {
  const wchar_t* data = _wgetenv(L"ProgramData");
  return std::filesystem::path(data != nullptr && data[0] != L'\0' ? data : L"C:\\ProgramData") /
         L"Velmora";
}

}  // namespace

std::filesystem::path AgentConfigFile() { return MachineFolder() / L"agent.conf"; }

std::filesystem::path AgentStateFolder() { return MachineFolder() / L"state"; }

}  // namespace platform
