#include "xmldoc/result_log.h"

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/case_file.h"

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

TEST(ResultLogTest, RecordsComeOutByteForByte) {
  const std::map<std::string, int64_t> names = {
      {"ResultCount", ResultCount},       {"ResultType", ResultType},     {"ResultN", ResultN},
      {"ResultEncoding", ResultEncoding}, {"ResultLength", ResultLength}, {"ResultMsg", ResultMsg},
      {"ResultUpdate", ResultUpdate}};
  WString all = WTEXT("<a/>");
  WString expectedAll = all;
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "result_records.txt", 6, 7)) {
    SCOPED_TRACE(row.where);
    const auto flags = static_cast<uint32_t>(row.Value(2, names));
    const auto number = static_cast<uint32_t>(row.Value(3));
    const auto number2 = static_cast<uint32_t>(row.Value(4));
    const bool update = row.fields.size() > 6;
    WString log = update ? row[6] : WString();
    AddResult(log, row.Text(0), row.Text(1), flags, number, number2);
    EXPECT_EQ(log, row[5]);
    if (update) continue;
    AddResult(all, row.Text(0), row.Text(1), flags, number, number2);
    expectedAll += row[5];
  }
  EXPECT_EQ(all, expectedAll);  // each record goes after the last
}

TEST(ResultLogTest, LimitIsTestedBeforeEachRecord) {
  WString log;
  for (int i = 0; i < 248; ++i) log += WTEXT("<x/>");
  log += WTEXT("<read/>");
  ASSERT_EQ(log.size(), 999u);
  AddResult(log, WTEXT("x"), nullptr, 0, kNone, kNone);
  EXPECT_EQ(log.substr(992), WTEXT("<read/><x/>"));
  const WString full = log;
  AddResult(log, WTEXT("x"), nullptr, 0, kNone, kNone);
  AddResult(log, WTEXT("read"), WTEXT("t"), ResultEncoding | ResultUpdate, kNone, kNone);
  EXPECT_EQ(log, full);
}

}  // namespace
