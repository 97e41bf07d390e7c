#pragma once
// The command line of `velmora`, read by our own code. A parser library cost every run, the
// inventory and each template request included, its own start-up: the standard streams it
// pulls in and its option tables, built at each start for a handful of words.

#include <optional>
#include <string>
#include <vector>

namespace velmora::cli {

enum class Command { Inventory, Pairs, Xml, Capture, Check, Help, Version };

// What the command line asks for.
struct CommandLine {
  Command command = Command::Inventory;
  std::string profile;             // --profile FILE; empty: the machine is probed
  std::string kind;                // pairs: one of the pair kinds' names
  bool json = false;               // pairs --json
  int category = 0;                // xml
  std::vector<std::string> files;  // check, in argument order
};

// Reads the arguments `argv[1]` to `argv[argc - 1]`. The global options (--profile, --help,
// --version) may stand anywhere, "--" ends the options, and a number ("-1") is an argument,
// never an option. On a usage error returns nullopt and sets `error` to a one-line message.
std::optional<CommandLine> ParseCommandLine(int argc, const char* const* argv, std::string& error);

// The text that `velmora --help` prints.
std::string HelpText();

}  // namespace velmora::cli
