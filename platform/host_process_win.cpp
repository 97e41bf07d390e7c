#include "platform/host_process.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

namespace platform {

void UseBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

bool StandardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

void SetEnvironment(const std::string& name, const std::string& value) {
  // getenv in every module reads the C runtime's copy of the environment, which the Win32
  // call does not update; child processes read the Win32 one. Both are set.
  _putenv_s(name.c_str(), value.c_str());
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

// Windows commits a process's first heap and stack pages without a fault each.
void PrepareMemory(std::size_t, std::size_t) {}

}  // namespace platform
