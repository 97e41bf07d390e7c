#pragma once
// What the host program needs from the operating system beyond the standard library.

#include <string>

namespace platform {

// True when standard output is a terminal (not a pipe or a file).
bool StandardOutputIsTerminal();

// Makes standard output write bytes unchanged (Windows would turn "\n" into "\r\n").
void UseBinaryStandardOutput();

// Sets an environment variable of this process, replacing its value.
void SetEnvironment(const std::string& name, const std::string& value);

}  // namespace platform
