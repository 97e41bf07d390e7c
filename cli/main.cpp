// velmora: the inventory library's host program. It links the library and calls its
// exports the way an agent does, then prints what they return, in UTF-8.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "platform/host_process.h"

namespace velmora::cli {

void Context::Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

namespace {

int Main(int argc, char** argv) {
  // UTF-8 text goes out byte for byte, line breaks included, on every platform.
  platform::UseBinaryStandardOutput();
  std::string error;
  const std::optional<CommandLine> line = ParseCommandLine(argc, argv, error);
  if (!line) {
    std::fprintf(stderr, "velmora: %s (see velmora --help)\n", error.c_str());
    return 2;
  }
  if (line->command == Command::Help) {
    Context::Print(HelpText());
    return 0;
  }
  if (line->command == Command::Version) {
    Context::Print("velmora " VELMORA_VERSION "\n");
    return 0;
  }

  Context context;
  context.style.enabled =
      platform::StandardOutputIsTerminal() && std::getenv("NO_COLOR") == nullptr;

  // Before the first provider call: the provider picks its source once.
  if (!line->profile.empty()) platform::SetEnvironment("HARNEL_PROFILE", line->profile);

  switch (line->command) {
    case Command::Pairs:
      return RunPairs(context, line->kind, line->json);
    case Command::Capture:
      return RunCapture(context);
    case Command::Xml:
      return RunXml(context, line->category);
    case Command::Check:
      return RunCheck(context, line->files);
    default:
      return RunInventory(context);
  }
}

}  // namespace
}  // namespace velmora::cli

int main(int argc, char** argv) {
  try {
    return velmora::cli::Main(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora: %s\n", e.what());
    return 1;
  }
}
