#include "tests/filler/filler_harness.h"

#include <filesystem>
#include <fstream>

#include "dll/velmora.h"
#include "harnel/utf16.h"
#include "platform/host_path.h"

namespace fillertest {
namespace {

std::filesystem::path TemplateFolder() {
  const std::string host = Utf8(platform::HostProgramPath());
  return std::filesystem::path(host).parent_path() / "hardinfo";
}

// The value of `attribute` in the start tag `tag` (the text between "<" and ">"); empty
// when the tag has no such attribute.
std::string AttributeValue(std::string_view tag, std::string_view attribute) {
  std::string key(" ");
  key += attribute;
  key += "=\"";
  const size_t at = tag.find(key);
  if (at == std::string_view::npos) return std::string();
  const size_t begin = at + key.size();
  return std::string(tag.substr(begin, tag.find('"', begin) - begin));
}

// Every start tag of `element`, in document order, without its "<" and ">".
std::vector<std::string_view> StartTags(std::string_view xml, std::string_view element) {
  std::string open("<");
  open += element;
  std::vector<std::string_view> tags;
  for (size_t at = xml.find(open); at != std::string_view::npos; at = xml.find(open, at + 1)) {
    const char next = xml[at + open.size()];
    if (next != ' ' && next != '>' && next != '/' && next != '\t' && next != '\r' && next != '\n') {
      continue;
    }
    tags.push_back(xml.substr(at + 1, xml.find('>', at) - at - 1));
  }
  return tags;
}

std::vector<std::string> AttributeOf(const std::string& xml, std::string_view element,
                                     std::string_view attribute) {
  std::vector<std::string> found;
  for (std::string_view tag : StartTags(xml, element)) {
    found.push_back(AttributeValue(tag, attribute));
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
  std::vector<std::string> found;
  for (std::string_view tag : StartTags(xml, "item")) {
    if (AttributeValue(tag, "name") == itemName) found.push_back(AttributeValue(tag, "value"));
  }
  return found;
}

}  // namespace fillertest
