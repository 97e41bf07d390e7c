#include "xmldoc/result_log.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

TEST(ResultLogTest, RecordsAreEmptyElements) {
  WString log;
  AddResult(log, WTEXT("bom"), nullptr, 0, kNone, kNone);
  EXPECT_EQ(log, WTEXT("<bom/>"));

  log.clear();
  AddResult(log, WTEXT("read"), WTEXT("UTF-8"), ResultEncoding | ResultLength, 120, kNone);
  AddResult(log, WTEXT("nulls_removed"), nullptr, ResultCount, 3, kNone);
  EXPECT_EQ(log, WTEXT("<read encoding=\"UTF-8\" length=\"120\"/><nulls_removed count=\"3\"/>"));

  log.clear();
  AddResult(log, WTEXT("lone_end_tag"), WTEXT("item"), 0, 57, kNone);
  AddResult(log, WTEXT("unended_start_tag"), WTEXT("item"), 0, 57, 80);
  EXPECT_EQ(log, WTEXT("<lone_end_tag tagname=\"item\" offset=\"57\"/>")
                     WTEXT("<unended_start_tag tagname=\"item\" offset=\"57\" offset2=\"80\"/>"));

  log.clear();
  AddResult(log, WTEXT("file_error"), WTEXT("a \"b\" <c>"), ResultMsg | ResultN, 2, kNone);
  AddResult(log, WTEXT("x"), WTEXT(""), ResultType, kNone, kNone);
  AddResult(log, WTEXT("y"), nullptr, ResultLength, kNone, kNone);  // named numbers always
  EXPECT_EQ(log, WTEXT("<file_error msg=\"a &quot;b&quot; &lt;c&gt;\" n=\"2\"/>")
                     WTEXT("<x type=\"\"/><y length=\"-1\"/>"));
}

TEST(ResultLogTest, UpdateModeChangesTheFirstRecord) {
  WString log;
  AddResult(log, WTEXT("read"), WTEXT("UTF-8"), ResultEncoding | ResultLength, 120, kNone);
  AddResult(log, WTEXT("nulls_removed"), nullptr, ResultCount, 3, kNone);
  AddResult(log, WTEXT("read"), WTEXT("x"), ResultEncoding, kNone, kNone);
  AddResult(log, WTEXT("read"), WTEXT("UTF-16LE"), ResultEncoding | ResultUpdate, kNone, kNone);
  EXPECT_EQ(log, WTEXT("<read encoding=\"UTF-16LE\" length=\"120\"/><nulls_removed count=\"3\"/>")
                     WTEXT("<read encoding=\"x\"/>"));
  // A new attribute goes after the last one.
  AddResult(log, WTEXT("nulls_removed"), WTEXT("t"), ResultType | ResultUpdate, 4, 9);
  EXPECT_EQ(log, WTEXT("<read encoding=\"UTF-16LE\" length=\"120\"/>")
                     WTEXT("<nulls_removed count=\"3\" type=\"t\" offset=\"4\" offset2=\"9\"/>")
                         WTEXT("<read encoding=\"x\"/>"));

  const WString before = log;
  AddResult(log, WTEXT("bom"), nullptr, ResultUpdate, 1, kNone);
  AddResult(log, WTEXT("rea"), WTEXT("z"), ResultEncoding | ResultUpdate, kNone, kNone);
  EXPECT_EQ(log, before);
}

TEST(ResultLogTest, LogStopsGrowingAtTheLimit) {
  WString log(999, ' ');
  AddResult(log, WTEXT("x"), nullptr, 0, kNone, kNone);
  EXPECT_EQ(log.size(), 1003u);
  AddResult(log, WTEXT("x"), nullptr, 0, kNone, kNone);
  EXPECT_EQ(log.size(), 1003u);

  WString full = WTEXT("<read encoding=\"a\"/>") + WString(1000, ' ');
  const WString before = full;
  AddResult(full, WTEXT("read"), WTEXT("b"), ResultEncoding | ResultUpdate, kNone, kNone);
  EXPECT_EQ(full, before);
}

}  // namespace
