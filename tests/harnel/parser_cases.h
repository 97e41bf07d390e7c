#pragma once
// Parsers run on the rows of a case file (tests/support/case_file.h): each row names a parser,
// then gives its inputs, then what its result must be written as. A result is written as its
// fields apart by "|", an absent one as "-", the items of a list apart by "; ". A bare word
// given for a text input names a file of the laptop's tree (MACHINE_FIXTURES), whose bytes it is.

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/support/case_file.h"

namespace parser_cases {

// The bytes of `file`, read with the standard library alone.
inline std::string FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << file;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes of the file at `path` ("/proc/cpuinfo") in the laptop's tree.
inline std::string LaptopBytes(std::string_view path) {
  return FileBytes(std::string(MACHINE_FIXTURES) + "/laptop" + std::string(path));
}

// The text input `i` of `row`.
inline std::string Input(const CaseRow& row, size_t i) {
  return row.quoted.at(i) ? row.Bytes(i) : LaptopBytes(row.Bytes(i));
}

// The number input `i` of `row`, absent where it is "-".
template <class T = std::int64_t>
std::optional<T> Number(const CaseRow& row, size_t i) {
  return row.Text(i) ? std::optional(static_cast<T>(row.Value(i))) : std::nullopt;
}

// A field as a row writes it.
template <class T>
std::string Shown(const std::optional<T>& value) {
  if constexpr (std::is_arithmetic_v<T>) {
    return value ? std::to_string(*value) : "-";
  } else {
    return value ? std::string(*value) : "-";
  }
}
inline std::string Shown(bool value) { return value ? "true" : "false"; }

inline std::string Joined(const std::vector<std::string>& parts, const char* between = "|") {
  std::string text;
  for (size_t i = 0; i < parts.size(); ++i) text += (i == 0 ? "" : between) + parts[i];
  return text;
}

using Parser = std::function<std::string(const CaseRow&)>;

// Every row of the files at `paths` through its parser; a row of no parser, or of more or fewer
// fields than the first row of its parser, or with an input its parser never read, or a parser
// of no row, fails the test.
inline void ExpectEveryRow(std::initializer_list<std::string> paths,
                           const std::map<std::string, Parser>& parsers) {
  std::map<std::string, size_t> fields;
  for (const std::string& path : paths) {
    for (const CaseRow& row : ReadCaseFile(path, 2, kAnyFields)) {
      SCOPED_TRACE(row.where);
      const auto parser = parsers.find(row.Bytes(0));
      const size_t first = fields.emplace(row.Bytes(0), row.fields.size()).first->second;
      if (parser == parsers.end() || row.fields.size() != first) {
        ADD_FAILURE() << "no parser " << row.Bytes(0) << " of " << row.fields.size() << " fields";
        continue;
      }
      EXPECT_EQ(parser->second(row), row.Bytes(row.fields.size() - 1));
      for (size_t i = 1; i + 1 < row.fields.size(); ++i) {
        EXPECT_TRUE(row.read.at(i)) << row.Bytes(0) << " never read field " << i + 1;
      }
    }
  }
  for (const auto& [name, parser] : parsers) EXPECT_EQ(fields.count(name), 1u) << name;
}

}  // namespace parser_cases
