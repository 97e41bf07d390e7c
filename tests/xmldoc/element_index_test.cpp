#include "xmldoc/element_index.h"

#include <gtest/gtest.h>

#include "xmldoc/xml_doc.h"

namespace {

TEST(ElementIndexTest, FreshDocumentHasEightEntries) {
  XmlDoc doc;
  EXPECT_EQ(doc.elementIndex->capacity, 8);
  EXPECT_EQ(doc.elementIndex->pageSlots, 4);
  EXPECT_EQ(doc.nextFreeEntry, 1);
  const ElementEntry& root = doc.Entry(0);
  const uint32_t words[] = {root.start,  root.length,     root.tagLengths,  root.entryFlags,
                            root.parent, root.firstChild, root.nextSibling, root.prevSibling};
  for (uint32_t w : words) EXPECT_EQ(w, 0u);
  EXPECT_EQ(doc.parentPos, 0u);
  EXPECT_EQ(doc.mainPos, 0u);
  EXPECT_EQ(doc.childPos, 0u);
  EXPECT_EQ(doc.nodeKind, 0u);
}

TEST(ElementIndexTest, FullIndexGrowsByHalf) {
  XmlDoc doc;
  // 8 -> 12 -> 18 -> 27: each time the entry that finds the index full triggers growth.
  const struct {
    int32_t before;
    int32_t after;
  } steps[] = {{8, 12}, {12, 18}, {18, 27}, {27, 40}};
  while (doc.nextFreeEntry < 8) doc.AllocateEntry();
  for (const auto& step : steps) {
    SCOPED_TRACE(step.before);
    ASSERT_EQ(doc.nextFreeEntry, step.before);
    EXPECT_EQ(doc.elementIndex->capacity, step.before);
    EXPECT_EQ(doc.AllocateEntry(), static_cast<uint32_t>(step.before));
    EXPECT_EQ(doc.elementIndex->capacity, step.after);
    while (doc.nextFreeEntry < step.after) doc.AllocateEntry();
    EXPECT_EQ(doc.elementIndex->capacity, step.after);
  }
}

TEST(ElementIndexTest, GrowthKeepsEntriesAndFullPagesInPlace) {
  XmlDoc doc;
  for (int32_t i = 1; i < 200000; ++i) {
    const uint32_t e = doc.AllocateEntry();
    ASSERT_EQ(e, static_cast<uint32_t>(i));
    doc.Entry(e).start = e;
    doc.Entry(e).prevSibling = ~e;
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

TEST(ElementIndexTest, BitFieldsOfAnEntry) {
  ElementEntry e{};
  e.SetStartTagLength(0x3FFFFF);
  e.SetEndTagLength(1024 + 12);  // only the low 10 bits are kept
  EXPECT_EQ(e.StartTagLength(), 0x3FFFFFu);
  EXPECT_EQ(e.EndTagLength(), 12u);
  e.SetStartTagLength(5);
  EXPECT_EQ(e.EndTagLength(), 12u);
  EXPECT_EQ(e.tagLengths, (12u << 22) | 5u);

  e.entryFlags = FirstChildFlag | ContentIllFormed;
  e.SetLevel(70000);  // 16 bits of level
  EXPECT_EQ(e.Level(), 70000u & 0xFFFF);
  EXPECT_TRUE(e.Has(FirstChildFlag));
  EXPECT_TRUE(e.Has(ContentIllFormed));
  EXPECT_FALSE(e.Has(Unended));
  EXPECT_FALSE(e.Has(IllFormed));
}

TEST(XmlDocTest, MovesOwnershipOfTheIndex) {
  XmlDoc a;
  a.text = WTEXT("<r/>");
  ElementIndex* index = a.elementIndex.get();
  XmlDoc b(std::move(a));
  EXPECT_EQ(b.elementIndex.get(), index);
  EXPECT_EQ(b.text, WTEXT("<r/>"));
  XmlDoc c;
  c = std::move(b);
  EXPECT_EQ(c.elementIndex.get(), index);
}

}  // namespace
