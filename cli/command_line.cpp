#include "cli/command_line.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "cli/pair_kinds.h"

namespace velmora::cli {
namespace {

struct CommandName {
  std::string_view name;
  Command command;
  std::string_view usage;    // what follows the name in the help
  std::string_view summary;  // one line in the help
};

constexpr CommandName kCommands[] = {
    {"pairs", Command::Pairs, "KIND [--json]", "Print what one pair export returns"},
    {"capture", Command::Capture, "", "Write the provider's records as a machine profile"},
    {"xml", Command::Xml, "CATEGORY",
     "Print the template of one device category, filled from this machine"},
    {"check", Command::Check, "FILE...",
     "Load each FILE as a template is loaded, parse it, and print the verdict and log"},
};

const CommandName* FindCommand(std::string_view name) {
  for (const CommandName& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

// A signed decimal number, which stands as an argument even though it may start with '-'.
bool IsNumber(std::string_view text) {
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool IsOption(std::string_view text) {
  return text.size() > 1 && text[0] == '-' && !IsNumber(text);
}

std::optional<int> ParseCategory(const std::string& text) {
  if (!IsNumber(text)) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno == ERANGE || *end != '\0' || value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

std::string KindNames(std::string_view separator) {
  std::string names;
  for (const PairKind& kind : PairKinds()) {
    if (!names.empty()) names += separator;
    names += kind.name;
  }
  return names;
}

// The profile must be a file that is there; a typing error is better caught before a run.
bool CheckProfile(const std::string& path, std::string& error) {
  std::error_code code;
  const std::filesystem::file_status status = std::filesystem::status(path, code);
  if (!std::filesystem::exists(status)) {
    error = "--profile: File does not exist: " + path;
    return false;
  }
  if (std::filesystem::is_directory(status)) {
    error = "--profile: File is actually a directory: " + path;
    return false;
  }
  return true;
}

// Checks the arguments that follow the command's name and stores them.
bool TakeArguments(const std::vector<std::string>& arguments, CommandLine& line,
                   std::string& error) {
  std::size_t wanted = 0;
  switch (line.command) {
    case Command::Pairs:
      if (arguments.empty()) {
        error = "KIND is required";
        return false;
      }
      line.kind = arguments[0];
      if (FindPairKind(line.kind) == nullptr) {
        error = "KIND: " + line.kind + " not in {" + KindNames(",") + "}";
        return false;
      }
      wanted = 1;
      break;
    case Command::Xml: {
      if (arguments.empty()) {
        error = "CATEGORY is required";
        return false;
      }
      const std::optional<int> category = ParseCategory(arguments[0]);
      if (!category) {
        error = "Could not convert: CATEGORY = " + arguments[0];
        return false;
      }
      line.category = *category;
      wanted = 1;
      break;
    }
    case Command::Check:
      if (arguments.empty()) {
        error = "FILE is required";
        return false;
      }
      line.files = arguments;
      wanted = arguments.size();
      break;
    default:
      break;
  }
  if (arguments.size() > wanted) {
    error = "The following argument was not expected: " + arguments[wanted];
    return false;
  }
  return true;
}

}  // namespace

std::optional<CommandLine> ParseCommandLine(int argc, const char* const* argv, std::string& error) {
  CommandLine line;
  bool haveCommand = false, optionsEnded = false;
  std::vector<std::string> arguments;  // after the command's name
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && IsOption(argument)) {
      if (argument == "-h" || argument == "--help") {
        line.command = Command::Help;
        return line;
      }
      if (argument == "--version") {
        line.command = Command::Version;
        return line;
      }
      if (argument == "--profile" || argument.starts_with("--profile=")) {
        if (argument == "--profile") {
          if (i + 1 == argc) {
            error = "--profile: 1 required FILE missing";
            return std::nullopt;
          }
          line.profile = argv[++i];
        } else {
          line.profile = argument.substr(std::string_view("--profile=").size());
        }
        if (!CheckProfile(line.profile, error)) return std::nullopt;
      } else if (argument == "--json" && line.command == Command::Pairs) {
        line.json = true;
      } else {
        error = "The following argument was not expected: " + std::string(argument);
        return std::nullopt;
      }
    } else if (!haveCommand) {
      const CommandName* command = FindCommand(argument);
      if (command == nullptr) {
        error = "The following argument was not expected: " + std::string(argument);
        return std::nullopt;
      }
      line.command = command->command;
      haveCommand = true;
    } else {
      arguments.emplace_back(argument);
    }
  }
  if (!TakeArguments(arguments, line, error)) return std::nullopt;
  return line;
}

std::string HelpText() {
  std::string text =
      "Shows what this machine consists of, as the Velmora inventory library reports it.\n"
      "Usage: velmora [OPTIONS] [COMMAND]\n"
      "\n"
      "Without a command: the whole inventory, every pair export under its heading.\n"
      "\n"
      "Options:\n"
      "  -h,--help              Print this help message and exit\n"
      "  --version              Display program version information and exit\n"
      "  --profile FILE         Replay this machine profile instead of probing the machine\n"
      "\n"
      "Commands:\n";
  for (const CommandName& command : kCommands) {
    std::string usage = std::string(command.name);
    if (!command.usage.empty()) usage += " " + std::string(command.usage);
    usage.resize(std::max<std::size_t>(usage.size() + 1, 23), ' ');
    text += "  " + usage + std::string(command.summary) + "\n";
  }
  text +=
      "\n"
      "KIND:     " +
      KindNames(", ") +
      "\n"
      "CATEGORY: 0 the catalogue, 5001 OS, 5002 BIOS, 5003 storage, 5004 video, 5005 network,\n"
      "          5006 controllers, anything else the other devices\n"
      "--json:   a JSON array of [label, value] arrays\n";
  return text;
}

}  // namespace velmora::cli
