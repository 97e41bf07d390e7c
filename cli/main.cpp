// velmora: the inventory library's host program. It links the library and calls its
// exports the way an agent does, then prints what they return, in UTF-8.

#include <cstdio>
#include <cstdlib>

#include "cli/commands.h"
#include "cli/provider_json.h"
#include "platform/host_process.h"

namespace velmora::cli {

void Context::Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

namespace {

// What a whole inventory first touches of the heap and stack (page faults counted with and
// without, the libraries' copies of the C++ runtime included), brought in at once: about 35
// faults fewer. The requests of one category touch less of it; timed, they
// were no slower for the pages made and left unused.
constexpr std::size_t kHeapBytes = 160 * 1024;
constexpr std::size_t kStackBytes = 32 * 1024;

int Main(int argc, char** argv) {
  platform::PrepareMemory(kHeapBytes, kStackBytes);
  // UTF-8 text goes out byte for byte, line breaks included, on every platform.
  platform::UseBinaryStandardOutput();
  Context context;
  context.style.enabled =
      platform::StandardOutputIsTerminal() && std::getenv("NO_COLOR") == nullptr;

  CLI::App app("Shows what this machine consists of, as the Velmora inventory library reports it.",
               "velmora");
  // Options are spelled "-x" and "--name" on every system: on Windows the parser would also
  // take "/name" for an option, and an absolute path such as "/data/old.json" would be lost.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", "velmora " VELMORA_VERSION);
  app.require_subcommand(0, 1);
  app.add_option("--profile", context.profile,
                 "Replay this machine profile instead of probing the machine")
      ->check([](const std::string& path) { return path.empty() ? "an empty path" : ""; });

  const Action commands[] = {
      AddPairsCommand(app, context), AddCaptureCommand(app, context),
      AddXmlCommand(app, context),   AddCheckCommand(app, context),
      AddDiffCommand(app, context),  AddExportCommand(app, context),
      AddSendCommand(app, context),  AddAgentCommand(app, context),
  };

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(e);
    std::fprintf(stderr, "velmora: %s (see velmora --help)\n", OneLine(e.what()).c_str());
    return 2;
  }

  // A profile the provider cannot replay would make every record "(none)": a run that says
  // nothing about the machine while looking as if it did. It is checked with the provider's
  // own reader before anything is printed.
  if (!context.profile.empty()) {
    const ProfileFile loaded = ReadProfileFile(context.profile);
    if (!loaded.problem.empty()) {
      std::fprintf(stderr, "velmora: %s: %s\n", context.profile.c_str(), loaded.problem.c_str());
      return 2;
    }
    // Before the first provider call: the provider picks its source once.
    platform::SetEnvironment("HARNEL_PROFILE", context.profile);
  }

  for (const Action& command : commands) {
    const int status = command();
    if (status >= 0) return status;
  }
  return RunInventory(context);
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
