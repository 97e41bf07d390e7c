#pragma once
// What the host program needs from the operating system beyond the standard library.

#include <string>

namespace platform {

// True when standard output is a terminal (not a pipe or a file).
bool StandardOutputIsTerminal();

// Sets an environment variable of this process, replacing its value.
void SetEnvironment(const std::string& name, const std::string& value);

}  // namespace platform
