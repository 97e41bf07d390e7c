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
      {"ResultEncoding", ResultEncoding}, {"ResultLength", ResultLength}, {"ResultMsg", ResultMsg}};
  WString all = WTEXT("<a/>");
  WString expectedAll = all;
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "result_records.txt", 6)) {
    SCOPED_TRACE(row.where);
    const auto flags = static_cast<uint32_t>(row.Value(2, names));
    const auto number = static_cast<uint32_t>(row.Value(3));
    const auto number2 = static_cast<uint32_t>(row.Value(4));
    WString log;
    AddResult(log, row.Text(0), row.Text(1), flags, number, number2);
    EXPECT_EQ(log, row[5]);
    AddResult(all, row.Text(0), row.Text(1), flags, number, number2);
    expectedAll += row[5];
  }
  EXPECT_EQ(all, expectedAll);  // each record goes after the last
}

TEST(ResultLogTest, UpdateModeChangesTheFirstTopLevelRecord) {
  WString log;
  AddResult(log, WTEXT("read"), WTEXT("UTF-8"), ResultEncoding | ResultLength, 120, kNone);
  AddResult(log, WTEXT("read"), WTEXT("x"), ResultEncoding, kNone, kNone);
  AddResult(log, WTEXT("read"), WTEXT("UTF-16LE"), ResultEncoding | ResultUpdate, kNone, kNone);
  EXPECT_EQ(log, WTEXT("<read encoding=\"UTF-16LE\" length=\"120\"/><read encoding=\"x\"/>"));

  // Nested records are not looked at; a new attribute goes after the last one, escaped.
  log = WTEXT("<a><read/></a><read  length=\"1\"/><read/>");
  AddResult(log, WTEXT("read"), WTEXT("x\"<"), ResultEncoding | ResultUpdate, 4, 7);
  EXPECT_EQ(log, WTEXT("<a><read/></a><read  length=\"1\" encoding=\"x&quot;&lt;\" offset=\"4\" ")
                     WTEXT("offset2=\"7\"/><read/>"));

  // No record of that keyword (a prefix is not one): nothing changes.
  const WString before = log;
  AddResult(log, WTEXT("bom"), nullptr, ResultUpdate, kNone, kNone);
  AddResult(log, WTEXT("rea"), WTEXT("y"), ResultEncoding | ResultUpdate, kNone, kNone);
  EXPECT_EQ(log, before);
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
