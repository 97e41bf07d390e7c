#pragma once
// Runs a program as a child process and collects what it prints: posix_spawn on Linux,
// CreateProcessW on Windows (under Wine too), so that tests of the host program run on both.

#include <filesystem>
#include <string>
#include <vector>

namespace child_process {

// What a finished child left behind.
struct Outcome {
  int status;       // the exit status; on Linux -1 when a signal ended the child
  std::string out;  // every byte written to standard output
  std::string err;  // every byte written to standard error
};

// How the child starts, beyond its arguments.
struct Options {
  std::filesystem::path workingDirectory;   // empty: the caller's
  std::vector<std::string> unsetVariables;  // environment variables the child does not see
};

// Starts `program` with `arguments` (UTF-8, each passed as one argument, no shell), an empty
// standard input and the caller's environment less `options.unsetVariables`, waits for it and
// returns its status and output. Throws std::runtime_error when the child cannot be started.
Outcome Run(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const Options& options = {});

}  // namespace child_process
