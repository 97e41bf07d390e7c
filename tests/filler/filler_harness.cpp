#include "tests/filler/filler_harness.h"

#include <filesystem>
#include <fstream>
#include <regex>

#include "dll/velmora.h"
#include "platform/host_path.h"

namespace fillertest {
namespace {

std::filesystem::path TemplateFolder() {
  const std::string host = Utf8(platform::HostProgramPath());
  return std::filesystem::path(host).parent_path() / "hardinfo";
}

WString Wide(std::string_view utf8) {
  WString out;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += 1 + extra;
    if (cp >= 0x10000) {
      out += static_cast<WChar>(0xD800 | ((cp - 0x10000) >> 10));
      out += static_cast<WChar>(0xDC00 | ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<WChar>(cp);
    }
  }
  return out;
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

std::string Utf8(const WString& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = static_cast<char16_t>(text[i]);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size()) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char16_t>(text[++i]) - 0xDC00);
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

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
  WString out = Wide(initial);
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
