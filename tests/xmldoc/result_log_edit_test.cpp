// The result log as the engine edits it: records appended after the last one, updated in
// place, and the parse of the log itself leaving no trace in it.

#include <gtest/gtest.h>

#include "xmldoc/result_log.h"

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

TEST(ResultLogEditTest, RecordsComeOutByteForByte) {
  WString log;
  AddResult(log, WTEXT("bom"), nullptr, 0, kNone, kNone);
  EXPECT_EQ(log, WTEXT("<bom/>"));

  log.clear();
  AddResult(log, WTEXT("read"), WTEXT("UTF-8"), 0x18, 120, kNone);
  AddResult(log, WTEXT("nulls_removed"), nullptr, 0x01, 3, kNone);
  EXPECT_EQ(log, WTEXT("<read encoding=\"UTF-8\" length=\"120\"/><nulls_removed count=\"3\"/>"));
  AddResult(log, WTEXT("read"), WTEXT("UTF-16LE"), 0x28, kNone, kNone);
  EXPECT_EQ(log, WTEXT("<read encoding=\"UTF-16LE\" length=\"120\"/><nulls_removed count=\"3\"/>"));

  log.clear();
  AddResult(log, WTEXT("lone_end_tag"), WTEXT("item"), 0, 57, kNone);
  EXPECT_EQ(log, WTEXT("<lone_end_tag tagname=\"item\" offset=\"57\"/>"));
  log.clear();
  AddResult(log, WTEXT("lone_end_tag"), WTEXT("item"), 0, 57, 80);
  EXPECT_EQ(log, WTEXT("<lone_end_tag tagname=\"item\" offset=\"57\" offset2=\"80\"/>"));

  // Only an offset is left out for -1; a second number of -1 is never written.
  log.clear();
  AddResult(log, WTEXT("x"), nullptr, 0, kNone, 5);
  AddResult(log, WTEXT("file_error"), WTEXT("No such file\u2014\u6587\u4ef6"), 0x44, 2, kNone);
  EXPECT_EQ(
      log, WTEXT("<x offset2=\"5\"/><file_error msg=\"No such file\u2014\u6587\u4ef6\" n=\"2\"/>"));
}

TEST(ResultLogEditTest, LimitIsTestedBeforeEachRecord) {
  WString log;
  for (int i = 0; i < 248; ++i) log += WTEXT("<x/>");
  log += WTEXT("<abcd/>");
  ASSERT_EQ(log.size(), 999u);
  AddResult(log, WTEXT("x"), nullptr, 0, kNone, kNone);
  EXPECT_EQ(log.size(), 1003u);
  EXPECT_EQ(log.substr(992), WTEXT("<abcd/><x/>"));
  const WString full = log;
  AddResult(log, WTEXT("x"), nullptr, 0, kNone, kNone);
  AddResult(log, WTEXT("x"), WTEXT("t"), 0x20 | 0x02, kNone, kNone);
  EXPECT_EQ(log, full);
}

TEST(ResultLogEditTest, UpdateModeLooksAtTopLevelRecordsOnly) {
  WString log = WTEXT("<a><read/></a><read  length=\"1\"/><read/>");
  AddResult(log, WTEXT("read"), WTEXT("x\"<"), 0x28, kNone, 7);
  EXPECT_EQ(log, WTEXT("<a><read/></a><read  length=\"1\" encoding=\"x&quot;&lt;\" offset2=\"7\"/>")
                     WTEXT("<read/>"));
  const WString before = log;
  AddResult(log, WTEXT("bom"), nullptr, 0x20, kNone, kNone);
  AddResult(log, WTEXT("rea"), WTEXT("y"), 0x28, kNone, kNone);
  EXPECT_EQ(log, before);
}

}  // namespace
