#include <gtest/gtest.h>

#include <cstdint>

#include "tests/support/case_file.h"
#include "xmldoc/index_check.h"
#include "xmldoc/reparse_check.h"
#include "xmldoc/xml_doc.h"

namespace {

// Writes `value` into the "v" attribute of every child of the root, in order.
void WriteEveryChild(XmlDoc& doc, const WChar* value) {
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindElement(WTEXT("r")));
  while (doc.FindChildElement(WTEXT("i"))) {
    ASSERT_TRUE(doc.WriteAttribute(doc.childPos, WTEXT("v"), value));
  }
}

// "<r>" with `n` children "<i v=''/>" on lines of their own.
WString Items(int n) {
  WString text = WTEXT("<r>\r\n");
  for (int k = 0; k < n; ++k) text += WTEXT("<i v=\"\"/>\r\n");
  return text + WTEXT("</r>");
}

// A document parsed again after edits keeps its storage, and what it holds then is what a
// new document would hold: nothing of the earlier, longer text and its gap shows through.
TEST(DocumentReuseTest, ParsedAgainItKeepsItsStorageAndForgetsTheOldText) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "reuse.txt", 3)) {
    SCOPED_TRACE(row.where);
    XmlDoc reused;
    reused.ParseText(Items(static_cast<int>(row.Value(0))).c_str());
    WriteEveryChild(reused, WTEXT("a value long enough to move the gap about"));
    const size_t heldBefore = reused.TextCapacity();
    const WChar* storageBefore = reused.Text().data();

    const WString next = Items(static_cast<int>(row.Value(1)));
    ASSERT_TRUE(reused.ParseText(next.c_str()));
    XmlDoc fresh;
    ASSERT_TRUE(fresh.ParseText(next.c_str()));
    if (next.size() <= heldBefore) {
      EXPECT_EQ(reused.Text().data(), storageBefore);
      EXPECT_EQ(reused.TextCapacity(), heldBefore);
    }
    WriteEveryChild(reused, row.Text(2));
    WriteEveryChild(fresh, row.Text(2));
    EXPECT_EQ(reused.Text(), fresh.Text());
    EXPECT_EQ(reused.DocumentText(), fresh.DocumentText());
    EXPECT_EQ(CheckElementIndex(reused), "");
    EXPECT_EQ(CompareWithFreshParse(reused), "");
    EXPECT_EQ(reused.Text().data()[reused.TextLength()], WChar());
  }
}

// A new text may come from the document's own storage, gap and all, and it is copied
// before anything overwrites it. The text taken from a document is all of it.
TEST(DocumentReuseTest, OwnTextSetAgainAndTextTaken) {
  XmlDoc doc;
  doc.ParseText(Items(4).c_str());
  WriteEveryChild(doc, WTEXT("1"));
  const WString filled = doc.DocumentText();
  doc.SetText(doc.Text().substr(5));  // "<i v=..." onwards, from the storage itself
  EXPECT_EQ(doc.Text(), filled.substr(5));
  EXPECT_FALSE(doc.ParseDocument());  // several roots now
  EXPECT_EQ(CheckElementIndex(doc), "");

  doc.ParseText(Items(4).c_str());
  WriteEveryChild(doc, WTEXT("2"));
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindElement(WTEXT("r")));
  ASSERT_TRUE(doc.FindChildElement(WTEXT("i")));
  ASSERT_TRUE(doc.WriteAttribute(doc.childPos, WTEXT("v"), WTEXT("first")));  // gap early
  const WString whole = doc.DocumentText();
  EXPECT_EQ(whole.substr(0, 21), WTEXT("<r>\r\n<i v=\"first\"/>\r\n"));
  EXPECT_EQ(std::move(doc).TakeText(), whole);
}

}  // namespace
