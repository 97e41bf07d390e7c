#pragma once
// The commands of `velmora`, one file each; main reads the command line (cli/command_line.h),
// applies --profile and runs the one asked for.

#include <string>
#include <vector>

#include "cli/text_output.h"

namespace velmora::cli {

// What every command may use: where output goes and how it is styled.
struct Context {
  Style style;
  // Writes `text` to standard output as it stands.
  static void Print(const std::string& text);
};

// Each command returns the exit status.

// The whole inventory, every pair export under its heading (`velmora` alone).
int RunInventory(const Context& context);

// `velmora pairs KIND [--json]`; `kind` is one of the pair kinds' names.
int RunPairs(const Context& context, const std::string& kind, bool json);

// `velmora capture`.
int RunCapture(const Context& context);

// `velmora xml CATEGORY`.
int RunXml(const Context& context, int category);

// `velmora check FILE...`.
int RunCheck(const Context& context, const std::vector<std::string>& files);

}  // namespace velmora::cli
