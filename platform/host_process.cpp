#include "platform/host_process.h"

#include <cstdlib>

#include <unistd.h>

namespace platform {

// POSIX streams never translate line breaks.
void UseBinaryStandardOutput() {}

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void SetEnvironment(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace platform
