#pragma once
// The ID this machine's agent gives itself before asset servers.

#include <string>

namespace velmora::fleet {

// The agent's ID: a random UUID made the first time it is asked for and kept in the file
// "agent-id" of the first state folder that holds one or can take one (platform::StateFolders:
// /var/lib/velmora, else ~/.local/state/velmora; %ProgramData%\velmora, else
// %LOCALAPPDATA%\velmora). VELMORA_AGENT_ID_FILE names another file. When no file can take
// it, the ID made serves this run only.
std::string AgentId();

}  // namespace velmora::fleet
