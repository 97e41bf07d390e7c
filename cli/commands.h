#pragma once
// The commands of `velmora`. Each command file adds its options to the subcommand main made
// for it and returns the action to run once the whole command line has been read (and
// --profile applied), so a new command is one more file and one more row in main's table.

#include <functional>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/text_output.h"

namespace velmora::cli {

// Runs a parsed command; returns the exit status.
using Action = std::function<int()>;

// What every command may use: where output goes, how it is styled, and the profile that the
// provider replays (empty: it reads the machine).
struct Context {
  Style style;
  std::string profile;
  // Writes `text` to standard output as it stands.
  static void Print(const std::string& text);
};

// The whole inventory, every pair export under its heading (`velmora` alone).
int RunInventory(const Context& context);

// `velmora pairs KIND [--json]`.
Action AddPairsCommand(CLI::App* command, const Context& context);

// `velmora capture`.
Action AddCaptureCommand(CLI::App* command, const Context& context);

// `velmora xml CATEGORY`.
Action AddXmlCommand(CLI::App* command, const Context& context);

// `velmora check FILE...`.
Action AddCheckCommand(CLI::App* command, const Context& context);

// `velmora diff OLD NEW [--json]`.
Action AddDiffCommand(CLI::App* command, const Context& context);

// `velmora export --format glpi [--deviceid ID]`.
Action AddExportCommand(CLI::App* command, const Context& context);

// `velmora send URL [--deviceid ID] [--timeout S] [--keep FILE]`, `velmora send --file FILE URL`.
Action AddSendCommand(CLI::App* command, const Context& context);

// `velmora agent [--config FILE] [--force]`.
Action AddAgentCommand(CLI::App* command, const Context& context);

}  // namespace velmora::cli
