#pragma once
// Tables of test cases kept as data: one row a line, fields apart by white space; "#" outside
// a text starts a comment that runs to the end of the line. A field in double quotes is text with
// the escapes \" \\ \n \r \t \0 \xHH (one unit, or one byte for byte strings) and \uHHHH; any other
// field is a bare word: a number, names joined by "|" that the test gives values, or "-" for no
// text at all. And cases kept as JSON: an array of objects.
//
// Every reader says what its cases hold (so many fields; these keys and perhaps those), and a case
// that holds more or less fails the test: a misspelt or forgotten key, or a field too many, would
// otherwise leave a check out without a word.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/text.h"

struct CaseRow {
  std::string where;  // file:line, for SCOPED_TRACE
  std::vector<WString> fields;
  std::vector<bool> quoted;
  // The fields read through the accessors below, so that a reader can tell a field it never
  // looked at (a row with a field too many) from one it checked.
  mutable std::vector<bool> read;

  const WString& operator[](size_t i) const { return Read(i); }
  // The text of field `i`, or null for a bare "-".
  const WChar* Text(size_t i) const {
    return Read(i) == WTEXT("-") && !quoted.at(i) ? nullptr : fields[i].c_str();
  }
  // Field `i` as bytes, each unit one byte.
  std::string Bytes(size_t i) const { return std::string(Read(i).begin(), fields[i].end()); }
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

 private:
  const WString& Read(size_t i) const {
    read.resize(fields.size());
    read.at(i) = true;
    return fields.at(i);
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

// No limit to the fields of a row.
constexpr size_t kAnyFields = std::numeric_limits<size_t>::max();

// Every row of the file at `path`, each of `least` to `most` fields; a file that is missing,
// empty or ill-formed, or a row with fewer or more fields, fails the test.
inline std::vector<CaseRow> ReadCaseFile(const std::string& path, size_t least, size_t most) {
  using case_file::kBlanks;
  std::ifstream in(path, std::ios::binary);
  std::vector<CaseRow> rows;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    CaseRow row{path + ":" + std::to_string(number), {}, {}, {}};
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
    if (row.fields.empty()) continue;
    if (row.fields.size() < least || row.fields.size() > most) {
      const std::string upTo = most == least        ? ""
                               : most == kAnyFields ? " or more"
                                                    : " to " + std::to_string(most);
      ADD_FAILURE() << row.where << ": " << row.fields.size() << " fields where the reader takes "
                    << least << upTo;
      continue;
    }
    rows.push_back(row);
  }
  if (rows.empty()) ADD_FAILURE() << "no cases read from " << path;
  return rows;
}

// Every row of the file at `path`, each of exactly `fields` fields.
inline std::vector<CaseRow> ReadCaseFile(const std::string& path, size_t fields) {
  return ReadCaseFile(path, fields, fields);
}

// The keys of a JSON case: those it must hold, those it may, and those of either whose text (or
// each text of whose list) must not be empty, as where a check looks for it in an output.
struct CaseKeys {
  std::vector<std::string> required, optional, nonEmpty = {};
};

// What is wrong with the keys of the JSON object `c` (`Json` being nlohmann's type) by `keys`:
// nothing when it holds every required key and no other but the optional ones.
template <class Json>
std::string WrongKeys(const Json& c, const CaseKeys& keys) {
  std::string wrong = c.is_object() ? "" : " not an object;";
  for (const std::string& key : keys.required) {
    if (!c.contains(key)) wrong += " no \"" + key + "\";";
  }
  for (auto item = c.begin(); c.is_object() && item != c.end(); ++item) {
    const auto in = [&item](const std::vector<std::string>& list) {
      return std::count(list.begin(), list.end(), item.key()) > 0;
    };
    if (!in(keys.required) && !in(keys.optional)) wrong += " unknown key \"" + item.key() + "\";";
    if (in(keys.nonEmpty) && std::count(item->begin(), item->end(), Json("")) > 0) {
      wrong += " an empty text in \"" + item.key() + "\";";
    }
  }
  return wrong;
}

// The cases of the JSON file at `path`, an array of objects, whose keys are right by `keys`; each
// other case fails the test, and is left out.
template <class Json>
std::vector<Json> ReadJsonCases(const std::string& path, const CaseKeys& keys) {
  std::ifstream in(path, std::ios::binary);
  const Json all = Json::parse(in, nullptr, false);
  if (!all.is_array() || all.empty()) ADD_FAILURE() << path << ": no array of cases";
  std::vector<Json> cases;
  for (size_t n = 0; all.is_array() && n < all.size(); ++n) {
    const std::string wrong = WrongKeys(all[n], keys);
    if (!wrong.empty()) ADD_FAILURE() << path << ", case " << n + 1 << ":" << wrong;
    if (wrong.empty()) cases.push_back(all[n]);
  }
  return cases;
}
