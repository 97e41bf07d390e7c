#include "xmldoc/result_log.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

TEST(ResultLogTest, RecordsComeOutByteForByte) {
  struct Case {
    const WChar* keyword;
    const WChar* text;
    uint32_t flags;
    uint32_t number;
    uint32_t number2;
    const WChar* expected;
  };
  const Case cases[] = {
      {WTEXT("bom"), nullptr, 0, kNone, kNone, WTEXT("<bom/>")},
      {WTEXT("read"), WTEXT("UTF-8"), ResultEncoding | ResultLength, 120, kNone,
       WTEXT("<read encoding=\"UTF-8\" length=\"120\"/>")},
      {WTEXT("nulls_removed"), nullptr, ResultCount, 3, kNone,
       WTEXT("<nulls_removed count=\"3\"/>")},
      {WTEXT("lone_end_tag"), WTEXT("item"), 0, 57, kNone,
       WTEXT("<lone_end_tag tagname=\"item\" offset=\"57\"/>")},
      {WTEXT("unended_start_tag"), WTEXT("item"), 0, 57, 80,
       WTEXT("<unended_start_tag tagname=\"item\" offset=\"57\" offset2=\"80\"/>")},
      {WTEXT("file_error"), WTEXT("a \"b\" <c>\u2014\u6587"), ResultMsg | ResultN, 2, kNone,
       WTEXT("<file_error msg=\"a &quot;b&quot; &lt;c&gt;\u2014\u6587\" n=\"2\"/>")},
      {WTEXT("x"), WTEXT(""), ResultType, kNone, kNone, WTEXT("<x type=\"\"/>")},
      // Only an offset is left out for -1; named numbers are always written.
      {WTEXT("y"), nullptr, ResultLength, kNone, kNone, WTEXT("<y length=\"-1\"/>")},
      {WTEXT("x"), nullptr, 0, kNone, 5, WTEXT("<x offset2=\"5\"/>")},
  };
  WString all = WTEXT("<a/>");
  WString expectedAll = all;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << (&c - cases));
    WString log;
    AddResult(log, c.keyword, c.text, c.flags, c.number, c.number2);
    EXPECT_EQ(log, c.expected);
    AddResult(all, c.keyword, c.text, c.flags, c.number, c.number2);
    expectedAll += c.expected;
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
