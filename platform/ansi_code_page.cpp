#include "platform/ansi_code_page.h"

#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/code_page_names.h"

namespace platform {

namespace {

constexpr int kDefaultCodePage = 1252;

struct CodeSet {
  std::string_view name;  // folded: lower case, without '-', '_' and '.'
  int codePage;
};

// The code sets of the system's locales, each to the code page that Windows would use for
// the same charset name.
constexpr CodeSet kCodeSets[] = {
    {"utf8", 65001},
    {"iso88591", 28591},
    {"iso88592", 28592},
    {"iso88593", 28593},
    {"iso88594", 28594},
    {"iso88595", 28595},
    {"iso88596", 28596},
    {"iso88597", 28597},
    {"iso88598", 28598},
    {"iso88599", 28599},
    {"iso885911", 874},
    {"iso885913", 28603},
    {"iso885915", 28605},
    {"eucjp", 20932},
    {"euckr", 51949},
    {"euccn", 51936},
    {"gb2312", 936},
    {"gbk", 936},
    {"gb18030", 54936},
    {"big5", 950},
    {"big5hkscs", 950},
    {"sjis", 932},
    {"shiftjis", 932},
    {"koi8r", 20866},
    {"koi8u", 21866},
    {"tis620", 874},
    {"pt154", 154},
    {"ansix341968", kDefaultCodePage},
    {"ascii", kDefaultCodePage},
    {"usascii", kDefaultCodePage},
};

std::string Fold(std::string_view codeSet) {
  std::string folded;
  for (char c : codeSet) {
    if (c == '-' || c == '_' || c == '.') continue;
    folded.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return folded;
}

// "cp1251", "windows1251", "ibm866": a code page by number, when it can be converted.
int NumberedCodePage(std::string_view folded) {
  for (std::string_view prefix : {"cp", "windows", "ibm"}) {
    if (!folded.starts_with(prefix)) continue;
    std::string_view digits = folded.substr(prefix.size());
    if (digits.empty() || digits.size() > 5) return 0;
    int number = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return 0;
      number = number * 10 + (c - '0');
    }
    return IconvNameOfCodePage(number) != nullptr ? number : 0;
  }
  return 0;
}

}  // namespace

int CodePageOfLocale(const char* locale) {
  if (locale == nullptr) return kDefaultCodePage;
  // language[_territory][.codeset][@modifier]
  std::string_view name(locale);
  name = name.substr(0, name.find('@'));
  size_t dot = name.find('.');
  if (dot == std::string_view::npos) return kDefaultCodePage;
  std::string folded = Fold(name.substr(dot + 1));
  for (const CodeSet& codeSet : kCodeSets) {
    if (codeSet.name == folded) return codeSet.codePage;
  }
  int numbered = NumberedCodePage(folded);
  return numbered != 0 ? numbered : kDefaultCodePage;
}

int AnsiCodePage() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != 0) return CodePageOfLocale(value);
  }
  return kDefaultCodePage;
}

}  // namespace platform
