#include "fleet/key_value_file.h"

#include <sstream>

// CLI11's configuration reader, already the command line's parser and header-only, so that the
// same reader builds for Linux and for Windows (the distribution's inih is a Linux binary only).
#include <CLI/CLI.hpp>

#include "platform/kept_files.h"

namespace velmora::fleet {
namespace {

// A configuration file is a few lines; anything larger is not one.
constexpr std::size_t kLargestFile = 64 * 1024;

// The reader set up so that a value is the whole rest of its line: no inline comment and no
// array, so that a password may hold ';', '#', ',' or blanks. Values that are lists (servers)
// are split by their reader.
class WholeValueReader : public CLI::ConfigBase {
 public:
  WholeValueReader() {
    comment('\0');
    arrayBounds('\x01', '\x02');
    arrayDelimiter('\x03');
    valueSeparator('=');
  }
};

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string LineProblem(const std::filesystem::path& path, const KeyValueLine& line,
                        const std::string& problem) {
  return path.string() + ":" + std::to_string(line.line) + ": " + line.key + ": " + problem;
}

std::optional<std::vector<KeyValueLine>> ReadKeyValueFile(const std::filesystem::path& path,
                                                          const std::set<std::string>& keys,
                                                          std::string& why) {
  std::string reason;
  const std::optional<std::string> bytes = platform::ReadKeptFile(path, kLargestFile, reason);
  if (!bytes) {
    why = path.string() + ": cannot be read: " + reason;
    return std::nullopt;
  }
  std::vector<KeyValueLine> lines;
  std::istringstream text(*bytes);
  std::string raw;
  // Each line goes to the reader alone, so that what it returns is known to come from that line.
  for (int number = 1; std::getline(text, raw); ++number) {
    const std::string line = Trimmed(raw);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const std::string key = Trimmed(line.substr(0, line.find('=')));
    KeyValueLine read{number, key, {}};
    std::vector<CLI::ConfigItem> items;
    try {
      std::istringstream one(line);
      items = WholeValueReader().from_config(one);
    } catch (const CLI::Error& error) {
      why = LineProblem(path, read, error.what());
      return std::nullopt;
    }
    if (line.find('=') == std::string::npos || items.size() != 1 || items[0].inputs.size() != 1) {
      why = LineProblem(path, read, "not a \"key = value\" line");
      return std::nullopt;
    }
    read.key = items[0].fullname();
    read.value = items[0].inputs[0];
    if (keys.count(read.key) == 0) {
      why = LineProblem(path, read, "unknown key");
      return std::nullopt;
    }
    lines.push_back(std::move(read));
  }
  return lines;
}

}  // namespace velmora::fleet
