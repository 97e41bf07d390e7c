// The template export, GetDeviceXMLBuffer, over templates the tests write into the folder
// "hardinfo" beside this program and records they give as a machine profile would.

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "dll/velmora.h"
#include "harnel/decode/utf16.h"
#include "platform/host_path.h"
#include "tests/support/case_file.h"
#include "tests/support/each_allocation_failure.h"
#include "tests/support/test_provider.h"

namespace {

using nlohmann::json;
using testprovider::Log;
using testprovider::Source;

struct FillResult {
  int code;
  std::string text;  // the caller's string afterwards, in UTF-8
};

std::string Utf8(const WString& text) { return harnel::decode::Utf16ToUtf8(text); }

std::filesystem::path TemplateFolder() {
  const std::string host = Utf8(platform::HostProgramPath());
  return std::filesystem::path(host).parent_path() / "hardinfo";
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
  WString out = harnel::decode::Utf8ToUtf16(initial);
  const int code = GetDeviceXMLBuffer(category, out);
  return {code, Utf8(out)};
}

// A text given as a list of lines, joined with line breaks; each "@" stands for a run of
// `pad` letters, for texts too long to keep.
std::string Lines(const json& lines, std::size_t pad = 0) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i].get<std::string>();
  }
  std::string run;
  for (std::size_t i = 0; i < pad; ++i) run += static_cast<char>('a' + i % 26);
  for (std::size_t at = 0; (at = text.find('@', at)) != std::string::npos; at += pad) {
    text.replace(at, 1, run);
  }
  return text;
}

// Each case of data/template_cases.json: a template (absent when null), the records a machine
// profile would give, the categories asked for, and what each call returns: its status and the
// caller's string afterwards ("initial" beforehand; "template" when it is the template as it
// stands), and where the case gives them how often each source was asked for and released.
// Every record must come back exactly once. "pad" is the length of the run "@" stands for.
TEST(TemplateFillerTest, EachTemplateCaseGivesItsDocument) {
  const CaseKeys keys = {
      {"case", "file", "template", "categories", "result"},
      {"profile", "initial", "status", "gets", "frees", "pad", "allocations fail"}};
  for (const json& c :
       ReadJsonCases<json>(VELMORA_SOURCE_DIR "/tests/filler/data/template_cases.json", keys)) {
    SCOPED_TRACE(c["case"].get<std::string>());
    const std::string name = c["file"];
    const std::size_t pad = c.value("pad", 0);
    if (c["template"].is_null()) {
      RemoveTemplate(name.c_str());
    } else {
      WriteTemplate(name.c_str(), Lines(c["template"], pad));
    }
    for (int category : c["categories"]) {
      SCOPED_TRACE(category);
      testprovider::Reset();
      const auto held = testprovider::ProvideProfile(c.value("profile", json::object()));
      const auto result = Fill(category, c.value("initial", "before"));
      EXPECT_EQ(result.code, c.value("status", 0));
      EXPECT_EQ(result.text, Lines(c["result"] == "template" ? c["template"] : c["result"], pad));
      for (int s = 0; s < static_cast<int>(Source::Count); ++s) {
        const Source source = static_cast<Source>(s);
        SCOPED_TRACE(testing::Message() << "source " << s);
        EXPECT_EQ(Log(source).held, 0);
        EXPECT_EQ(Log(source).wrongFrees, 0);
        // A case that counts the calls counts them all: a source it does not list is never asked.
        for (const char* what : {"gets", "frees"}) {
          if (!c.contains(what)) continue;
          int expected = 0;
          for (const auto& [key, count] : c[what].items()) {
            if (testprovider::SourceOf(key) == source) expected = count;
          }
          EXPECT_EQ(what[0] == 'g' ? Log(source).gets : Log(source).frees, expected) << what;
        }
      }
      // The k-th allocation of the call fails, for every k until it succeeds: every record and
      // list obtained is released exactly once on each of those paths, and the sanitizer build
      // shows that no document leaks.
      EachAllocationFailure failure;
      while (c.value("allocations fail", false) && failure.Next()) {
        SCOPED_TRACE(failure.Name());
        testprovider::Reset();
        const auto again = testprovider::ProvideProfile(c.value("profile", json::object()));
        WString out = harnel::decode::Utf8ToUtf16(c.value("initial", "before"));
        int code = -2;
        if (!failure.Run([&] { code = GetDeviceXMLBuffer(category, out); })) {
          EXPECT_EQ(code, result.code);
          EXPECT_EQ(Utf8(out), result.text);
        }
        for (int s = 0; s < static_cast<int>(Source::Count); ++s) {
          const testprovider::SourceLog& log = Log(static_cast<Source>(s));
          EXPECT_EQ(log.frees, log.gets) << "source " << s;
          EXPECT_EQ(log.held, 0) << "source " << s;
          EXPECT_EQ(log.wrongFrees, 0) << "source " << s;
        }
      }
      EXPECT_TRUE(!c.value("allocations fail", false) || failure.Failures() > 0);
    }
  }
}

}  // namespace
