#pragma once
// Where a program keeps what must outlast it on this machine.

#include <filesystem>
#include <vector>

namespace platform {

// The folders where the program named `program` keeps its state, in the order to try them: the
// machine's (/var/lib/<program>; %ProgramData%\<program> on Windows), then the user's
// ($XDG_STATE_HOME/<program> or ~/.local/state/<program>; %LOCALAPPDATA%\<program>). Folders
// whose environment variable is unset are left out.
std::vector<std::filesystem::path> StateFolders(const char* program);

// The machine's agent configuration file: /etc/velmora/agent.conf (on Windows
// %ProgramData%\Velmora\agent.conf).
std::filesystem::path AgentConfigFile();

// The folder of the machine's agent state: /var/lib/velmora (on Windows
// %ProgramData%\Velmora\state).
std::filesystem::path AgentStateFolder();

}  // namespace platform
