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

}  // namespace fillertest
