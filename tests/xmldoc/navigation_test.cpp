#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/case_file.h"
#include "xmldoc/element_path.h"
#include "xmldoc/index_check.h"
#include "xmldoc/xml_doc.h"

namespace {

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

// Every step of data/navigation.txt on the document the last "parse" made.
TEST(NavigationTest, StepsOfEachScript) {
  XmlDoc doc;
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "navigation.txt", 1, 5)) {
    SCOPED_TRACE(row.where);
    const std::string step = row.Bytes(0);
    if (step == "parse") {
      doc.ParseText(row.Text(1));
      ASSERT_EQ(CheckElementIndex(doc), "");
    } else if (step == "find") {
      EXPECT_EQ(doc.FindElement(row.Text(1)), row.Value(2) != 0);
    } else if (step == "child") {
      EXPECT_EQ(doc.FindChildElement(row.Text(1)), row.Value(2) != 0);
    } else if (step == "enter") {
      doc.EnterElement();
    } else if (step == "leave") {
      doc.LeaveElement();
    } else if (step == "reset") {
      doc.ResetPosition();
    } else if (step == "at") {
      const std::vector<int64_t> at = {doc.mainPos, doc.childPos, doc.parentPos, doc.nodeKind};
      EXPECT_EQ(at, (std::vector<int64_t>{row.Value(1), row.Value(2), row.Value(3), row.Value(4)}));
    } else if (step == "attribute") {
      EXPECT_EQ(doc.ReadAttribute(row.Text(1)), row[2]);
    } else if (step == "child-attribute") {
      EXPECT_EQ(doc.ReadChildAttribute(row.Text(1)), row[2]);
    } else if (step == "name") {
      EXPECT_EQ(doc.ElementName(static_cast<uint32_t>(row.Value(1))), row[2]);
    } else if (step == "markup") {
      EXPECT_EQ(doc.ElementMarkup(), row[1]);
    } else if (step == "text") {
      EXPECT_EQ(doc.DocumentText(), row[1]);
    } else if (step == "node-kind") {
      doc.nodeKind = static_cast<uint32_t>(row.Value(1));
    } else {
      ADD_FAILURE() << "unknown step " << step;
    }
  }
}

}  // namespace
