#include "platform/state_places.h"

#include <cstdlib>

namespace platform {

std::vector<std::filesystem::path> StateFolders(const char* program) {
  std::vector<std::filesystem::path> folders{std::filesystem::path("/var/lib") / program};
  const char* state = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  if (state != nullptr && state[0] == '/') {
    folders.push_back(std::filesystem::path(state) / program);
  } else if (home != nullptr && home[0] != '\0') {
    folders.push_back(std::filesystem::path(home) / ".local/state" / program);
  }
  return folders;
}

std::filesystem::path AgentConfigFile() { return "/etc/velmora/agent.conf"; }

std::filesystem::path AgentStateFolder() { return "/var/lib/velmora"; }

}  // namespace platform
