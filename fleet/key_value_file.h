#pragma once
// Reading the agent's small configuration files: "key = value" lines.

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora::fleet {

// One "key = value" line of a file.
struct KeyValueLine {
  int line = 0;       // counted from 1
  std::string key;    // as written, without surrounding blanks
  std::string value;  // the rest of the line, trimmed; quotes around it removed
};

// The lines of the file at `path` with a key of `keys`, in file order; blank lines and lines
// starting with '#' or ';' are comments. None, with `why` set to one line naming the file (and
// the line and key when there is one), when the file cannot be read, a line is not
// "key = value" or names a key outside `keys`.
std::optional<std::vector<KeyValueLine>> ReadKeyValueFile(const std::filesystem::path& path,
                                                          const std::set<std::string>& keys,
                                                          std::string& why);

// "FILE:LINE: KEY: " followed by `problem`: the one line that names a bad line of a file.
std::string LineProblem(const std::filesystem::path& path, const KeyValueLine& line,
                        const std::string& problem);

}  // namespace velmora::fleet
