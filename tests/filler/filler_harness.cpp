#include "tests/filler/filler_harness.h"

#include <filesystem>
#include <fstream>
#include <regex>

#include "dll/velmora.h"
#include "harnel/utf16.h"
#include "platform/host_path.h"

namespace fillertest {
namespace {

std::filesystem::path TemplateFolder() {
  const std::string host = Utf8(platform::HostProgramPath());
  return std::filesystem::path(host).parent_path() / "hardinfo";
}

std::vector<std::string> AttributeOf(const std::string& xml, const std::string& element,
                                     const std::string& attribute) {
  const std::regex tag("<" + element + R"((\s[^>]*)?>)");
  const std::regex value(R"(\s)" + attribute + R"(="([^"]*)\")");
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), tag); it != std::sregex_iterator();
       ++it) {
    const std::string attributes = (*it)[1].str();
    std::smatch m;
    found.push_back(std::regex_search(attributes, m, value) ? m[1].str() : std::string());
  }
  return found;
}

}  // namespace

std::string Utf8(const WString& text) { return harnel::Utf16ToUtf8(text); }

void WriteTemplate(const char* fileName, std::string_view utf8) {
  const std::filesystem::path folder = TemplateFolder();
  std::filesystem::create_directories(folder);
  std::ofstream(folder / fileName, std::ios::binary | std::ios::trunc)
      .write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
}

void RemoveTemplate(const char* fileName) {
  std::error_code ignored;
  std::filesystem::remove(TemplateFolder() / fileName, ignored);
}

FillResult Fill(int category, std::string_view initial) {
  WString out = harnel::Utf8ToUtf16(initial);
  const int code = GetDeviceXMLBuffer(category, out);
  return {code, Utf8(out)};
}

std::vector<std::string> CategoryIds(const std::string& xml) {
  return AttributeOf(xml, "category", "id");
}

std::vector<std::string> CategoryNames(const std::string& xml) {
  return AttributeOf(xml, "category", "name");
}

std::vector<std::string> ItemValues(const std::string& xml, std::string_view itemName) {
  // Captions may hold regex characters ("水平像素 * 纵向像素").
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  const std::string literal = std::regex_replace(std::string(itemName), special, R"(\$&)");
  const std::regex item(R"(<item name=")" + literal + R"(" value="([^"]*)\")");
  std::vector<std::string> found;
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), item); it != std::sregex_iterator();
       ++it) {
    found.push_back((*it)[1].str());
  }
  return found;
}

}  // namespace fillertest
