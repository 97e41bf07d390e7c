#pragma once
// Tables of test cases kept as data: one row a line, fields apart by white space; "#" outside
// a text starts a comment that runs to the end of the line. A field in double quotes is text with
// the escapes \" \\ \n \r \t \0 \xHH (one unit, or one byte for byte strings) and \uHHHH; any other
// field is a bare word: a number, names joined by "|" that the test gives values, or "-" for no
// text at all.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/text.h"

struct CaseRow {
  std::string where;  // file:line, for SCOPED_TRACE
  std::vector<WString> fields;
  std::vector<bool> quoted;

  const WString& operator[](size_t i) const { return fields.at(i); }
  // The text of field `i`, or null for a bare "-".
  const WChar* Text(size_t i) const {
    return !quoted.at(i) && fields[i] == WTEXT("-") ? nullptr : fields[i].c_str();
  }
  // Field `i` as bytes, each unit one byte.
  std::string Bytes(size_t i) const { return std::string(fields.at(i).begin(), fields[i].end()); }
  // A number, true or false, or names from `names` joined by "|" and or-ed together.
  int64_t Value(size_t i, const std::map<std::string, int64_t>& names = {}) const {
    const std::string word = Bytes(i);
    if (word == "true" || word == "false") return word == "true";
    if (std::isdigit(static_cast<unsigned char>(word[word[0] == '-' ? 1 : 0])) != 0) {
      return std::stoll(word, nullptr, 0);
    }
    int64_t value = 0;
    for (size_t at = 0; at <= word.size();) {
      const size_t bar = std::min(word.find('|', at), word.size());
      const auto found = names.find(word.substr(at, bar - at));
      if (found == names.end()) ADD_FAILURE() << where << ": unknown name in " << word;
      value |= found == names.end() ? 0 : found->second;
      at = bar + 1;
    }
    return value;
  }
};

namespace case_file {

constexpr const char* kBlanks = " \t\r";

// Reads the text in quotes that starts at line[at] into `text`; returns the offset after its
// closing quote, or npos when the line ends first.
inline size_t ReadText(const std::string& line, size_t at, WString& text) {
  for (++at; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] != '\\' || at + 1 == line.size()) {
      text += static_cast<WChar>(static_cast<unsigned char>(line[at]));
      continue;
    }
    const char kind = line[++at];
    const size_t digits = kind == 'x' ? 2 : kind == 'u' ? 4 : 0;
    const size_t simple = std::string("nrt0").find(kind);
    if (digits != 0) {
      text += static_cast<WChar>(std::stoul(line.substr(at + 1, digits), nullptr, 16));
      at += digits;
    } else {
      text += simple != std::string::npos ? WTEXT("\n\r\t")[simple] : static_cast<WChar>(kind);
    }
  }
  return at < line.size() ? at + 1 : std::string::npos;
}

}  // namespace case_file

// Every row of the file at `path`; a file that is missing, empty or ill-formed fails the test.
inline std::vector<CaseRow> ReadCaseFile(const std::string& path) {
  using case_file::kBlanks;
  std::ifstream in(path, std::ios::binary);
  std::vector<CaseRow> rows;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    CaseRow row{path + ":" + std::to_string(number), {}, {}};
    for (size_t i = line.find_first_not_of(kBlanks); i < line.size() && line[i] != '#';
         i = line.find_first_not_of(kBlanks, i)) {
      WString field;
      const bool quoted = line[i] == '"';
      if (quoted) {
        i = case_file::ReadText(line, i, field);
        if (i == std::string::npos) {
          ADD_FAILURE() << row.where << ": unterminated text";
          return {};
        }
      } else {
        const size_t end = std::min(line.find_first_of(kBlanks, i), line.size());
        field.assign(line.begin() + static_cast<std::ptrdiff_t>(i),
                     line.begin() + static_cast<std::ptrdiff_t>(end));
        i = end;
      }
      row.fields.push_back(field);
      row.quoted.push_back(quoted);
    }
    if (!row.fields.empty()) rows.push_back(row);
  }
  if (rows.empty()) ADD_FAILURE() << "no cases read from " << path;
  return rows;
}
