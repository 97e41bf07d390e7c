#include "xmldoc/element_index.h"

#include <gtest/gtest.h>

#include "xmldoc/xml_doc.h"

namespace {

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
