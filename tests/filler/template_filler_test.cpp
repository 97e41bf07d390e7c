// Each case of data/template_cases.json: a template (absent when null), the records a machine
// profile would give, the categories asked for, and what each call returns: its status and the
// caller's string afterwards ("initial" beforehand; "template" when it is the template as it
// stands), and where the case gives them how often each source was asked for and released.
// Every record must come back exactly once.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/filler/filler_harness.h"
#include "tests/support/test_provider.h"

namespace {

using nlohmann::json;
using testprovider::Log;
using testprovider::Source;

// A text given as a list of lines, joined with line breaks.
std::string Lines(const json& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i)
    text += (i > 0 ? "\n" : "") + lines[i].get<std::string>();
  return text;
}

TEST(TemplateFillerTest, EachTemplateCaseGivesItsDocument) {
  std::ifstream cases_file(VELMORA_SOURCE_DIR "/tests/filler/data/template_cases.json");
  for (const json& c : json::parse(cases_file)) {
    SCOPED_TRACE(c["case"].get<std::string>());
    const std::string name = c["file"];
    if (c["template"].is_null()) {
      fillertest::RemoveTemplate(name.c_str());
    } else {
      fillertest::WriteTemplate(name.c_str(), Lines(c["template"]));
    }
    for (int category : c["categories"]) {
      SCOPED_TRACE(category);
      testprovider::Reset();
      const auto held = testprovider::ProvideProfile(c.value("profile", json::object()));
      const auto result = fillertest::Fill(category, c.value("initial", "before"));
      EXPECT_EQ(result.code, c.value("status", 0));
      EXPECT_EQ(result.text, Lines(c["result"] == "template" ? c["template"] : c["result"]));
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
    }
  }
}

}  // namespace
