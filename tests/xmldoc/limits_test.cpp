#include <gtest/gtest.h>

#include <new>

#include "tests/support/case_file.h"
#include "xmldoc/element_index.h"
#include "xmldoc/index_check.h"
#include "xmldoc/reparse_check.h"
#include "xmldoc/xml_doc.h"

namespace {

// Start tags at the longest length the index holds and past it, in documents built from the
// rows of data/start_tag_limit.txt: the parse and each edit index them exactly or refuse
// them with a record, never something in between.
TEST(StartTagLimitTest, ParseAndEditsIndexUpToTheLimitOrRefuse) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "start_tag_limit.txt", 8)) {
    SCOPED_TRACE(row.where);
    WString run;
    for (auto n = row.Value(2); n-- > 0;) run += static_cast<WChar>('a' + n % 26);
    const auto expand = [&](size_t field) {
      WString text = row[field];
      for (size_t at = 0; (at = text.find('@', at)) != WString::npos; at += run.size()) {
        text.replace(at, 1, run);
      }
      return text;
    };
    XmlDoc doc;
    bool done = doc.ParseText(expand(1).c_str());
    doc.parentPos = 1;
    doc.mainPos = 2;
    doc.nodeKind = 1;
    const std::string edit = row.Bytes(0);
    if (edit == "write") done = doc.WriteAttribute(2, row.Text(3), row.Text(4));
    if (edit == "markup") done = doc.InsertMarkup(expand(3).c_str());
    if (edit == "element") done = doc.InsertElement(expand(3).c_str());
    EXPECT_EQ(done ? int64_t{doc.Entry(doc.mainPos).StartTagLength()} : -1, row.Value(5));
    EXPECT_EQ(doc.resultLog, row[6]);
    EXPECT_EQ(doc.MetLimit(), row[6].find(WTEXT("_too_long")) != WString::npos);
    EXPECT_EQ(doc.Text(), expand(7));
    EXPECT_EQ(CheckElementIndex(doc), "");
    EXPECT_EQ(done ? CompareWithFreshParse(doc) : "", "");
    doc.ParseText(WTEXT("<r/>"));
    EXPECT_FALSE(doc.MetLimit());  // each parse starts afresh
  }
}

// Entry indices are 32-bit signed: an index that names that many entries cannot grow.
TEST(StartTagLimitTest, AnIndexOfTheMostEntriesCannotGrow) {
  XmlDoc doc;
  const int32_t capacity = doc.elementIndex->capacity;
  doc.elementIndex->capacity = doc.nextFreeEntry = INT32_MAX;
  EXPECT_THROW(doc.AllocateEntry(), std::bad_alloc);
  doc.elementIndex->capacity = capacity;  // the storage it has, for its release
}

TEST(ElementIndexTest, GrowthKeepsEntriesAndFullPagesInPlace) {
  XmlDoc doc;
  for (int32_t i = 1; i < 200000; ++i) {
    const uint32_t e = doc.AllocateEntry();
    ASSERT_EQ(e, static_cast<uint32_t>(i));
    doc.StoredEntry(e).start = e;
    doc.StoredEntry(e).prevSibling = ~e;
  }
  ElementEntry* firstPage = doc.elementIndex->pages[0];
  ElementEntry* secondPage = doc.elementIndex->pages[1];
  while (doc.nextFreeEntry < doc.elementIndex->capacity) doc.AllocateEntry();
  doc.AllocateEntry();
  EXPECT_EQ(doc.elementIndex->pages[0], firstPage);
  EXPECT_EQ(doc.elementIndex->pages[1], secondPage);
  for (uint32_t e = 1; e < 200000; ++e) {
    ASSERT_EQ(doc.Entry(e).start, e);
    ASSERT_EQ(doc.Entry(e).prevSibling, ~e);
  }
}

TEST(ElementIndexTest, ReserveAddsAtMostOnePage) {
  ElementIndex index;
  ReserveEntries(index, 65536);
  EXPECT_EQ(index.capacity, 65536);
  ReserveEntries(index, 4 * 65536 + 5);
  EXPECT_EQ(index.capacity, 131072);

  ElementIndex fresh;
  ReserveEntries(fresh, 100000);
  EXPECT_EQ(fresh.capacity, 100000);
  EXPECT_EQ(fresh.pageSlots, 6);
  ASSERT_NE(fresh.pages[0], nullptr);
  ASSERT_NE(fresh.pages[1], nullptr);
  // The first page is full: its last slot and the second page's last slot are writable.
  fresh[65535].start = 1;
  fresh[99999].start = 2;
  EXPECT_EQ(fresh[65535].start, 1u);

  ClearEntries(fresh);
  EXPECT_EQ(fresh.pages, nullptr);
  EXPECT_EQ(fresh.capacity, 0);
  EXPECT_EQ(fresh.pageSlots, 0);
}

TEST(ElementIndexTest, PartialLastPageIsCopiedWhenItGrows) {
  ElementIndex index;
  ReserveEntries(index, 10);
  for (uint32_t i = 0; i < 10; ++i) index[i].length = i + 100;
  ReserveEntries(index, 70000);  // fills page 0 up and adds a partial page 1
  EXPECT_EQ(index.capacity, 70000);
  for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(index[i].length, i + 100);
  index[69999].length = 7;
  ReserveEntries(index, 80000);
  EXPECT_EQ(index[69999].length, 7u);
}

}  // namespace
