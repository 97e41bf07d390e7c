// The provider's JSON functions as a host meets them, replaying the example profile (named in
// exports_test.cpp before the first call).

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "provider/provider.h"
#include "tests/support/case_file.h"

namespace {

using nlohmann::ordered_json;

struct ReleaseText {
  void operator()(char* text) const { HarnelFreeText(text); }
};
using Text = std::unique_ptr<char, ReleaseText>;

struct Answer {
  int status;
  Text text;
};

Answer MachineJson(const char* section, unsigned int parts) {
  char* json = nullptr;
  const int status = HarnelGetMachineJson(section, parts, &json);
  return {status, Text(json)};
}

ordered_json ExampleFile() {
  std::ifstream file(VELMORA_SOURCE_DIR "/examples/workstation.json", std::ios::binary);
  return ordered_json::parse(file);
}

TEST(HarnelJsonExportsTest, WholeProfileIsTheRecordsInProviderOrderThenTheMachineKeyAsWritten) {
  const Answer answer = MachineJson(nullptr, HARNEL_JSON_VALUES);
  ASSERT_EQ(answer.status, HARNEL_JSON_GIVEN);
  ASSERT_NE(answer.text, nullptr);
  const ordered_json profile = ordered_json::parse(answer.text.get());
  const ordered_json example = ExampleFile();
  std::vector<std::string> keys, exampleKeys;
  for (const auto& [key, value] : profile.items()) keys.push_back(key);
  for (const auto& [key, value] : example.items()) exampleKeys.push_back(key);
  EXPECT_EQ(keys, exampleKeys);  // the example lists its records in provider order
  // Replayed, the key is the file's own, its members in the file's order.
  EXPECT_EQ(profile["Machine"].dump(), example["Machine"].dump());
  ASSERT_EQ(profile["StorageList"].size(), 3u);
  EXPECT_EQ(profile["StorageList"][2]["mediaType"], "CD-ROM");
  EXPECT_EQ(profile["StorageList"][0]["sizeMB"], 953867);
  // Every field is written, an absent one as null, so that replay gives the same records.
  EXPECT_EQ(profile["OS"].size(), 10u);
  EXPECT_TRUE(profile["ModemList"].is_null());
}

TEST(HarnelJsonExportsTest, EachSectionAloneMatchesTheWholeAndAReplayedMachineHasNoReasons) {
  const ordered_json whole =
      ordered_json::parse(MachineJson(nullptr, HARNEL_JSON_VALUES).text.get());
  for (const char* section : {"OS", "StorageList", "ModemList", "Machine"}) {
    SCOPED_TRACE(section);
    const Answer values = MachineJson(section, HARNEL_JSON_VALUES);
    ASSERT_EQ(values.status, HARNEL_JSON_GIVEN);
    EXPECT_EQ(ordered_json::parse(values.text.get()), whole[section]);
    const Answer reasons = MachineJson(section, HARNEL_JSON_REASONS);
    ASSERT_EQ(reasons.status, HARNEL_JSON_GIVEN);
    EXPECT_STREQ(reasons.text.get(), "null");
  }
  const Answer withReasons = MachineJson(nullptr, HARNEL_JSON_VALUES | HARNEL_JSON_REASONS);
  ASSERT_EQ(withReasons.status, HARNEL_JSON_GIVEN);
  EXPECT_EQ(ordered_json::parse(withReasons.text.get()), whole);  // no "Reasons" to add
  EXPECT_STREQ(MachineJson(nullptr, HARNEL_JSON_REASONS).text.get(), "{}");
}

TEST(HarnelJsonExportsTest, RequestsItDoesNotKnowGiveNothing) {
  const std::map<std::string, int64_t> parts = {{"VALUES", HARNEL_JSON_VALUES},
                                                {"REASONS", HARNEL_JSON_REASONS}};
  for (const CaseRow& row :
       ReadCaseFile(VELMORA_SOURCE_DIR "/tests/harnel/data/bad_requests.txt", 2)) {
    SCOPED_TRACE(row.where);
    const std::string section = row.Bytes(0);
    char* json = reinterpret_cast<char*>(&json);  // must be set to null
    EXPECT_EQ(HarnelGetMachineJson(row.Text(0) ? section.c_str() : nullptr,
                                   static_cast<unsigned int>(row.Value(1, parts)), &json),
              HARNEL_JSON_BAD_REQUEST);
    EXPECT_EQ(json, nullptr);
  }
  EXPECT_EQ(HarnelGetMachineJson(nullptr, HARNEL_JSON_VALUES, nullptr), HARNEL_JSON_BAD_REQUEST);
  EXPECT_EQ(HarnelReadProfileJson("x.json", nullptr), HARNEL_JSON_BAD_REQUEST);
  char* json = nullptr;
  EXPECT_EQ(HarnelReadProfileJson(nullptr, &json), HARNEL_JSON_BAD_REQUEST);
  EXPECT_EQ(HarnelReadProfileJson("", &json), HARNEL_JSON_BAD_REQUEST);
  EXPECT_EQ(json, nullptr);
  HarnelFreeText(nullptr);
}

}  // namespace
