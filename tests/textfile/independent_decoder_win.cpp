#include <windows.h>

#include <algorithm>
#include <cctype>

#include "tests/textfile/independent_decoder.h"

namespace independent_decoder {

namespace {

// The charsets that the files compared with are in; the reader's own alias table is not used,
// so that a wrong row in it shows. Names compare without case.
struct Charset {
  const char* name;
  UINT codePage;
};
constexpr Charset kCharsets[] = {
    {"utf-8", CP_UTF8},    {"us-ascii", 20127},    {"windows-1252", 1252},
    {"iso-8859-1", 28591}, {"iso-8859-15", 28605}, {"shift_jis", 932},
    {"euc-jp", 20932},     {"gb2312", 936},        {"big5", 950},
};

bool DecodeUtf16(const std::string& bytes, bool bigEndian, WString& text) {
  if (bytes.size() % 2 != 0) return false;
  text.clear();
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const unsigned first = static_cast<unsigned char>(bytes[i]);
    const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(static_cast<WChar>(bigEndian ? first << 8 | second : second << 8 | first));
  }
  return true;
}

}  // namespace

bool Decode(const std::string& charset, const std::string& bytes, WString& text) {
  std::string name = charset;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (name == "utf-16le") return DecodeUtf16(bytes, false, text);
  if (name == "utf-16be") return DecodeUtf16(bytes, true, text);
  const auto found = std::find_if(std::begin(kCharsets), std::end(kCharsets),
                                  [&name](const Charset& c) { return name == c.name; });
  if (found == std::end(kCharsets)) return false;
  text.clear();
  if (bytes.empty()) return true;
  // Invalid bytes are an error here, so that a file the reader had to repair does not pass.
  const int size = static_cast<int>(bytes.size());
  const int units =
      MultiByteToWideChar(found->codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (units <= 0) return false;
  text.resize(static_cast<size_t>(units));
  return MultiByteToWideChar(found->codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(),
                             units) == units;
}

}  // namespace independent_decoder
