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

bool IsUtf8(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    unsigned char lead = static_cast<unsigned char>(bytes[i++]);
    if (lead < 0x80) continue;
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (more < 0 || lead > 0xF4) return false;
    for (int k = 0; k < more; ++k, ++i) {
      if (i >= bytes.size() || (static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) {
        return false;
      }
    }
  }
  return true;
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
  if (bytes.starts_with("<?xml")) {
    std::string_view declaration(bytes);
    declaration = declaration.substr(0, declaration.find("?>"));
    size_t at = declaration.find("encoding");
    if (at != std::string_view::npos) {
      std::string_view rest = declaration.substr(at + 8);
      auto skipBlanks = [&rest] {
        while (!rest.empty() && std::string_view(" \t\r\n").find(rest[0]) != rest.npos) {
          rest.remove_prefix(1);
        }
      };
      skipBlanks();
      if (rest.starts_with("=")) {
        rest.remove_prefix(1);
        skipBlanks();
        if (!rest.empty() && (rest[0] == '"' || rest[0] == '\'')) {
          size_t close = rest.find(rest[0], 1);
          if (close != std::string_view::npos) return std::string(rest.substr(1, close - 1));
        }
      }
    }
  }
  return IsUtf8(bytes) || bytes.starts_with("<") ? "UTF-8" : "WINDOWS-1252";
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
