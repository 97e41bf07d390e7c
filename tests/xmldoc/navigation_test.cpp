#include <gtest/gtest.h>

#include "tests/support/case_file.h"
#include "xmldoc/element_path.h"
#include "xmldoc/index_check.h"
#include "xmldoc/xml_doc.h"

namespace {

// mainPos, childPos, parentPos and nodeKind.
std::vector<uint32_t> Position(const XmlDoc& doc) {
  return {doc.mainPos, doc.childPos, doc.parentPos, doc.nodeKind};
}

void Parse(XmlDoc& doc, const WChar* text) {
  doc.ParseText(text);
  ASSERT_EQ(CheckElementIndex(doc), "");
}

TEST(ElementPathTest, FormCheck) {
  const std::map<std::string, int64_t> kinds = {{"PathInvalid", PathInvalid},
                                                {"PathAny", PathAny},
                                                {"PathName", PathName},
                                                {"PathAbsolute", PathAbsolute},
                                                {"PathDeep", PathDeep}};
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "element_paths.txt", 2)) {
    SCOPED_TRACE(row.where);
    EXPECT_EQ(CheckElementPath(row.Text(0)).kind, row.Value(1, kinds));
  }
  const WChar* deep = WTEXT("//item");
  EXPECT_EQ(CheckElementPath(deep).firstName, deep + 2);
}

TEST(NavigationTest, FindsWalkOneLevel) {
  XmlDoc doc;
  Parse(doc, WTEXT("<r><c1/><c2/></r>"));
  EXPECT_TRUE(doc.FindChildElement(WTEXT("c2")));
  EXPECT_EQ(Position(doc), (std::vector<uint32_t>{1, 3, 0, 1}));

  Parse(doc, WTEXT("<r><item/><items/><Item/><x/><item n='2'/><a/></r>"));
  doc.FindElement(nullptr);
  doc.EnterElement();  // no child position yet: mainPos 0 under r
  EXPECT_EQ(Position(doc), (std::vector<uint32_t>{0, 0, 1, 0}));
  EXPECT_TRUE(doc.FindElement(WTEXT("item[2]")));  // the condition does not take part
  EXPECT_EQ(doc.mainPos, 2u);
  EXPECT_TRUE(doc.FindElement(WTEXT("item/x")));
  EXPECT_EQ(doc.mainPos, 6u);  // items and Item are not item
  EXPECT_FALSE(doc.FindElement(WTEXT("item")));
  EXPECT_EQ(doc.mainPos, 6u);
  EXPECT_TRUE(doc.FindElement(WTEXT("a/b")));
  EXPECT_EQ(doc.mainPos, 7u);
  for (const WChar* never : {WTEXT("/r"), WTEXT("a/"), WTEXT("a b"), WTEXT("//a")}) {
    doc.ResetPosition();
    doc.FindElement(nullptr);
    doc.EnterElement();
    EXPECT_FALSE(doc.FindElement(never));
  }
}

TEST(NavigationTest, RepeatedChildFindsVisitEachOnce) {
  XmlDoc doc;
  Parse(doc, WTEXT("<r>\r\n<item/>\r\n<x/>\r\n<item/>\r\n<item/></r>"));
  std::vector<uint32_t> seen;
  while (doc.FindChildElement(WTEXT("item"))) seen.push_back(doc.childPos);
  EXPECT_EQ(seen, (std::vector<uint32_t>{2, 4, 5}));
  EXPECT_EQ(doc.childPos, 5u);
  EXPECT_EQ(doc.mainPos, 1u);
}

TEST(NavigationTest, EnterLeaveAndReset) {
  XmlDoc doc;
  Parse(doc, WTEXT("<r><c><g/></c></r>"));
  doc.LeaveElement();  // at the document level: nothing changes
  EXPECT_EQ(Position(doc), (std::vector<uint32_t>{0, 0, 0, 0}));
  doc.EnterElement();  // no current element: nothing changes
  EXPECT_EQ(Position(doc), (std::vector<uint32_t>{0, 0, 0, 0}));

  ASSERT_TRUE(doc.FindChildElement(WTEXT("c")));
  doc.EnterElement();
  EXPECT_EQ(Position(doc), (std::vector<uint32_t>{2, 0, 1, 1}));
  ASSERT_TRUE(doc.FindChildElement(WTEXT("g")));
  EXPECT_EQ(doc.childPos, 3u);
  doc.LeaveElement();
  EXPECT_EQ(Position(doc), (std::vector<uint32_t>{1, 2, 0, 1}));
  doc.ResetPosition();
  EXPECT_EQ(Position(doc), (std::vector<uint32_t>{0, 0, 0, 0}));

  // With no element at the current level the child search runs among the top-level
  // elements, and a match leaves mainPos 0.
  Parse(doc, WTEXT("<a/><b/>"));
  EXPECT_TRUE(doc.FindElement(WTEXT("b")));
  doc.EnterElement();
  EXPECT_EQ(doc.parentPos, 2u);
  EXPECT_TRUE(doc.FindChildElement(WTEXT("b")));
  EXPECT_EQ(Position(doc), (std::vector<uint32_t>{0, 2, 0, 0}));
}

TEST(NavigationTest, AttributesAreReadInPlaceAndUnescaped) {
  XmlDoc doc;
  Parse(doc, WTEXT("<r><item name='a&amp;b' flag value = 'x' u=v></item></r>"));
  ASSERT_TRUE(doc.FindChildElement(WTEXT("item")));
  EXPECT_EQ(doc.ReadAttribute(WTEXT("name")), WTEXT(""));  // r has no name
  EXPECT_EQ(doc.ReadChildAttribute(WTEXT("name")), WTEXT("a&b"));
  EXPECT_EQ(doc.ReadChildAttribute(WTEXT("flag")), WTEXT("flag"));
  EXPECT_EQ(doc.ReadChildAttribute(WTEXT("value")), WTEXT("x"));
  EXPECT_EQ(doc.ReadChildAttribute(WTEXT("u")), WTEXT("v"));
  EXPECT_EQ(doc.ReadChildAttribute(WTEXT("Name")), WTEXT(""));
  EXPECT_EQ(doc.ReadChildAttribute(nullptr), WTEXT(""));
  doc.EnterElement();
  EXPECT_EQ(doc.ReadAttribute(WTEXT("name")), WTEXT("a&b"));
  EXPECT_EQ(doc.ReadChildAttribute(WTEXT("name")), WTEXT(""));  // childPos 0
  doc.nodeKind = 0;
  EXPECT_EQ(doc.ReadAttribute(WTEXT("name")), WTEXT(""));
}

TEST(NavigationTest, NamesMarkupAndText) {
  XmlDoc doc;
  const WChar* text = WTEXT("<r>\n  <a>x</a>\n  <b/></r>");
  Parse(doc, text);
  EXPECT_EQ(doc.ElementName(1), WTEXT("r"));
  EXPECT_EQ(doc.ElementName(3), WTEXT("b"));
  EXPECT_EQ(doc.ElementName(0), WTEXT(""));
  EXPECT_EQ(doc.ElementMarkup(), WTEXT(""));
  ASSERT_TRUE(doc.FindChildElement(WTEXT("a")));
  doc.EnterElement();
  EXPECT_EQ(doc.ElementMarkup(), WTEXT("<a>x</a>\n  "));
  doc.LeaveElement();
  EXPECT_EQ(doc.ElementMarkup(), WTEXT("<r>\n  <a>x</a>\n  <b/></r>"));
  EXPECT_EQ(doc.DocumentText(), text);

  Parse(doc, WTEXT("<r><a/>text</r>"));
  doc.FindChildElement(WTEXT("a"));
  doc.EnterElement();
  EXPECT_EQ(doc.ElementMarkup(), WTEXT("<a/>"));

  Parse(doc, WTEXT("<r/> \r\n"));
  doc.FindElement(nullptr);
  EXPECT_EQ(doc.ElementMarkup(), WTEXT("<r/> \r\n"));
}

}  // namespace
