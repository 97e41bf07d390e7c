// velmora: the inventory library's host program. It links the library and calls its
// exports the way an agent does, then prints what they return, in UTF-8.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// One row per command: its name, its line in `velmora --help`, and what adds its options.
struct CommandRow {
  std::string_view name;
  const char* summary;
  Action (*add)(CLI::App* command, const Context& context);
};

constexpr CommandRow kCommands[] = {
    {"pairs", "Print what one pair export returns", AddPairsCommand},
    {"capture", "Write the provider's records as a machine profile", AddCaptureCommand},
    {"xml", "Print the template of one device category, filled from this machine", AddXmlCommand},
    {"check", "Load each FILE as a template is loaded, parse it, and print the verdict and log",
     AddCheckCommand},
    {"diff",
     "Show what changed between two machine profiles: devices added and removed, fields changed",
     AddDiffCommand},
    {"export", "Print the machine's inventory in a fleet inventory format for asset servers",
     AddExportCommand},
    {"send", "Post the machine's inventory (as export prints it) to an asset server",
     AddSendCommand},
    {"agent",
     "Send the machine's inventory to the configured servers that lack it (what a schedule runs)",
     AddAgentCommand},
};

// What the command line asks for, as far as a look at it tells: the command it names (null for
// none: the whole inventory, --version, --help), or that it cannot tell.
struct Request {
  const CommandRow* command = nullptr;
  bool known = true;
};

// The command that the command line names, found as the parser finds it: the top level's own
// options and the value of --profile are passed over, and the first other word decides. Any
// other word, or "--", and it cannot tell; the parser then reads the line with everything.
Request NamedCommand(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--profile") {
      ++i;
    } else if (arg.starts_with("--profile=") || arg == "--version" || arg == "--help" ||
               arg == "-h") {
      continue;
    } else {
      for (const CommandRow& row : kCommands) {
        if (arg == row.name) return {&row, true};
      }
      return {nullptr, false};
    }
  }
  return {};
}

// The parser of the command line. Every command is there, under its name and summary, so that
// `velmora --help` lists them all; only the commands `withOptions` allows get their options
// and actions, since making them all costs more than a short run does in all (some 800
// allocations and half the instructions of `velmora --version`).
struct Parser {
  Parser(Context& context, const CommandRow* withOptions, bool allOptions)
      : app("Shows what this machine consists of, as the Velmora inventory library reports it.",
            "velmora") {
    // Options are spelled "-x" and "--name" on every system: on Windows the parser would also
    // take "/name" for an option, and an absolute path such as "/data/old.json" would be lost.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", "velmora " VELMORA_VERSION);
    app.require_subcommand(0, 1);
    app.add_option("--profile", context.profile,
                   "Replay this machine profile instead of probing the machine")
        ->check([](const std::string& path) { return path.empty() ? "an empty path" : ""; });
    for (const CommandRow& row : kCommands) {
      CLI::App* command = app.add_subcommand(std::string(row.name), row.summary);
      command->fallthrough();
      if (allOptions || &row == withOptions) actions.push_back(row.add(command, context));
    }
  }

  // Whether the parse went into no command but one that has its options.
  bool ChoseOnly(const CommandRow* withOptions) const {
    for (const CLI::App* command : app.get_subcommands()) {
      if (withOptions == nullptr || command->get_name() != withOptions->name) return false;
    }
    return true;
  }

  CLI::App app;
  std::vector<Action> actions;
};

int Main(int argc, char** argv) {
  platform::PrepareMemory(kHeapBytes, kStackBytes);
  // UTF-8 text goes out byte for byte, line breaks included, on every platform.
  platform::UseBinaryStandardOutput();
  Context context;
  context.style.enabled =
      platform::StandardOutputIsTerminal() && std::getenv("NO_COLOR") == nullptr;

  // The command line is read with the options of the command it names. Where the parse went
  // elsewhere, or failed, it is read again with every command's options, so that what it
  // means and what it answers never depend on the shortcut.
  const Request request = NamedCommand(argc, argv);
  std::optional<Parser> parser;
  bool settled = false;
  if (request.known) {
    parser.emplace(context, request.command, false);
    try {
      parser->app.parse(argc, argv);
      settled = parser->ChoseOnly(request.command);
    } catch (const CLI::ParseError& e) {
      const bool answered = e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success);
      if (answered && parser->ChoseOnly(request.command)) return parser->app.exit(e);
    }
  }
  if (!settled) {
    context.profile.clear();
    parser.reset();
    parser.emplace(context, nullptr, true);
    try {
      parser->app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
      if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
        return parser->app.exit(e);
      }
      std::fprintf(stderr, "velmora: %s (see velmora --help)\n", OneLine(e.what()).c_str());
      return 2;
    }
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

  for (const Action& command : parser->actions) {
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
