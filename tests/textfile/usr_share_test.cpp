// Every *.xml under /usr/share loads as an independent decoder reads it: iconv on Linux, the
// system's converter on Windows, where Wine shows the same files on drive Z:. Neither goes
// through platform/, so the comparison shares no code with the loader; the encoding to decode
// from is found by this file's own simple rules.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/platform/locale_environment.h"
#include "tests/textfile/independent_decoder.h"
#include "xmldoc/text_file.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> XmlFilesUnder(const fs::path& root) {
  std::vector<fs::path> files;
  std::error_code error;
  auto options = fs::directory_options::skip_permission_denied;
  for (fs::recursive_directory_iterator it(root, options, error), end; it != end;
       it.increment(error)) {
    if (error) break;
    if (it->is_regular_file(error) && it->path().extension() == ".xml") files.push_back(*it);
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The charset that the file's bytes call for: a byte-order mark, else the declaration on its
// first line, else UTF-8 when the bytes are UTF-8, else windows-1252.
std::string CharsetOf(std::string& bytes) {
  for (auto [mark, charset] :
       {std::pair{"\xEF\xBB\xBF", "UTF-8"}, std::pair{"\xFF\xFE", "UTF-16LE"},
        std::pair{"\xFE\xFF", "UTF-16BE"}}) {
    if (bytes.starts_with(mark)) {
      bytes.erase(0, std::string_view(mark).size());
      return charset;
    }
  }
  // encoding = "name" or 'name' in the declaration.
  constexpr size_t kNone = std::string::npos;
  const std::string xml = bytes.starts_with("<?xml") ? bytes.substr(0, bytes.find("?>")) : "";
  const size_t name = xml.find("encoding");
  const size_t equals = name == kNone ? kNone : xml.find_first_not_of(" \t\r\n", name + 8);
  const size_t quote = equals < xml.size() && xml[equals] == '='
                           ? xml.find_first_not_of(" \t\r\n", equals + 1)
                           : kNone;
  if (quote < xml.size() && (xml[quote] == '"' || xml[quote] == '\'')) {
    const size_t close = xml.find(xml[quote], quote + 1);
    if (close != kNone) return xml.substr(quote + 1, close - quote - 1);
  }
  WString ignored;
  return independent_decoder::Decode("UTF-8", bytes, ignored) || bytes.starts_with("<")
             ? "UTF-8"
             : "WINDOWS-1252";
}

TEST(UsrShareTest, EveryXmlFileLoadsAsIconvDecodesIt) {
#ifdef _WIN32
  std::vector<fs::path> files = XmlFilesUnder("Z:/usr/share");
#else
  std::vector<fs::path> files = XmlFilesUnder("/usr/share");
#endif
  if (files.empty()) GTEST_SKIP() << "no *.xml under /usr/share";
  LocaleEnvironment locale(nullptr, nullptr, nullptr);
  size_t loaded = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    std::ifstream in(file, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::u16string name = file.u16string();
    WString text;
    ASSERT_TRUE(LoadTextFile(WString(name.begin(), name.end()).c_str(), text, nullptr, nullptr));
    ++loaded;
    std::string charset = CharsetOf(bytes);
    // Zero units are dropped: bytes before decoding 8-bit files, units after decoding UTF-16.
    bool utf16 = charset.starts_with("UTF-16");
    if (!utf16) std::erase(bytes, '\0');
    WString expected;
    ASSERT_TRUE(independent_decoder::Decode(charset, bytes, expected)) << charset;
    if (utf16) std::erase(expected, WChar{0});
    EXPECT_EQ(text, expected) << charset;
  }
  std::cout << "loaded " << loaded << " of " << files.size() << " files\n";
}

}  // namespace
