#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz/same_parse.h"
#include "tests/support/case_file.h"
#include "xmldoc/element_path.h"
#include "xmldoc/index_check.h"
#include "xmldoc/parser.h"
#include "xmldoc/result_log.h"
#include "xmldoc/xml_doc.h"

namespace {

// Parses `text` into `doc` and checks the index invariants; returns the verdict.
bool Parse(XmlDoc& doc, const WString& text) {
  const bool ok = doc.ParseText(text.c_str());
  EXPECT_EQ(CheckElementIndex(doc), "");
  return ok;
}

TEST(ScanNodeTest, KindsLengthsAndRecords) {
  const std::map<std::string, int64_t> names = {
      {"NodeEndTag", NodeEndTag},   {"NodeElement", NodeElement},
      {"NodeText", NodeText},       {"NodeWhitespace", NodeWhitespace},
      {"NodeCData", NodeCData},     {"NodeProcessingInstruction", NodeProcessingInstruction},
      {"NodeComment", NodeComment}, {"NodeDocumentType", NodeDocumentType},
      {"NodeError", NodeError},     {"EmptyElement", EmptyElement}};
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "scan_node.txt", 5, 6)) {
    SCOPED_TRACE(row.where);
    const auto kind = static_cast<int32_t>(row.Value(1, names));
    const auto length = static_cast<uint32_t>(row.Value(2));
    const auto flags = static_cast<uint32_t>(row.Value(3, names));
    Scanner scanner;
    scanner.text = row.Text(0);
    NodeToken node;
    node.records = WTEXT("stale");
    EXPECT_EQ(ScanNode(scanner, node), kind);
    EXPECT_EQ(node.kind, kind);
    EXPECT_EQ(node.start, 0u);
    EXPECT_EQ(node.length, length);
    EXPECT_EQ(scanner.cursor, static_cast<int32_t>(length));
    EXPECT_EQ(node.nodeFlags, flags);
    EXPECT_EQ(node.records, row[4]);
    if (row.fields.size() > 5) {
      EXPECT_EQ(TokenText(scanner), row[5]);
    }

    // The general machine alone must agree with the dedicated loops for common nodes.
    Scanner general;
    general.text = row.Text(0);
    NodeToken generalNode;
    EXPECT_EQ(ScanNodeInGeneral(general, generalNode), kind);
    EXPECT_EQ(generalNode.length, length);
    EXPECT_EQ(generalNode.nodeFlags, flags);
    EXPECT_EQ(general.tokenStart, scanner.tokenStart);
    EXPECT_EQ(general.tokenEnd, scanner.tokenEnd);
  }
}

// Each node starts where the last ended, up to the end of the text; "<?>" anywhere but at
// offset 0 is complete.
TEST(ScanNodeTest, NodesFollowOneAnother) {
  Scanner scanner;
  scanner.text = WTEXT("x<?>y<r/>");
  NodeToken node;
  EXPECT_EQ(ScanNode(scanner, node), NodeText);
  EXPECT_EQ(ScanNode(scanner, node), NodeProcessingInstruction);
  EXPECT_EQ(node.length, 3u);
  EXPECT_EQ(ScanNode(scanner, node), NodeText);
  EXPECT_EQ(ScanNode(scanner, node), NodeElement);
  EXPECT_EQ(node.start, 5u);
  EXPECT_EQ(ScanNode(scanner, node), NodeEndOfText);
  EXPECT_EQ(node.length, 0u);
  EXPECT_EQ(ScanNode(scanner, node), NodeEndOfText);
}

// The entries of a parse: well-formed documents, repaired unended elements, the marks that
// lone end tags and syntax errors leave.
TEST(ParserTest, EntriesLinksAndMarksOfEachParse) {
  const std::map<std::string, uint32_t> flags = {{"FirstChildFlag", FirstChildFlag},
                                                 {"Unended", Unended},
                                                 {"ContentIllFormed", ContentIllFormed},
                                                 {"IllFormed", IllFormed}};
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "parse_index.txt", 3, kAnyFields)) {
    SCOPED_TRACE(row.where);
    XmlDoc doc;
    const bool ok = Parse(doc, row[0]);
    const auto e = static_cast<uint32_t>(row.Value(1));
    const ElementEntry& x = doc.Entry(e);
    const std::map<std::string, int64_t> fields = {{"ok", ok},
                                                   {"entries", doc.nextFreeEntry},
                                                   {"start", x.start},
                                                   {"length", x.length},
                                                   {"end", x.start + x.length},
                                                   {"startTag", x.StartTagLength()},
                                                   {"endTag", x.EndTagLength()},
                                                   {"level", x.Level()},
                                                   {"parent", x.parent},
                                                   {"first", x.firstChild},
                                                   {"next", x.nextSibling},
                                                   {"prev", x.prevSibling}};
    for (size_t i = 2; i < row.fields.size(); ++i) {
      const std::string check = row.Bytes(i);
      const size_t equals = check.find('=');
      if (equals == std::string::npos) {
        EXPECT_EQ(x.Has(flags.at(check.substr(check[0] == '!'))), check[0] != '!') << check;
        continue;
      }
      EXPECT_EQ(fields.at(check.substr(0, equals)), std::stoll(check.substr(equals + 1))) << check;
    }
  }
  XmlDoc doc;
  doc.SetText(WTEXT("<A></a>"));
  doc.flags = IgnoreCase;
  EXPECT_TRUE(doc.ParseDocument());
}

TEST(ParserTest, Verdicts) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "parse_verdicts.txt", 3)) {
    SCOPED_TRACE(row.where);
    XmlDoc doc;
    EXPECT_EQ(Parse(doc, row[0]), row.Value(1) != 0);
    EXPECT_EQ(doc.resultLog, row[2]);
  }
}

TEST(ParserTest, ParseResetsPositionsAndTheIndex) {
  XmlDoc doc;
  EXPECT_TRUE(Parse(doc, WTEXT("<r><a/></r>")));
  doc.mainPos = doc.childPos = doc.parentPos = doc.nodeKind = 1;
  doc.SetText(WTEXT("<r/>"));
  EXPECT_TRUE(doc.ParseDocument());
  EXPECT_EQ(doc.mainPos + doc.childPos + doc.parentPos + doc.nodeKind, 0u);
  EXPECT_EQ(doc.nextFreeEntry, 2);
  // ParseDocument keeps the records already there; ParseText starts afresh.
  doc.resultLog = WTEXT("<bom/>");
  doc.ParseDocument();
  EXPECT_EQ(doc.resultLog, WTEXT("<bom/>"));
  doc.ParseText(nullptr);
  EXPECT_EQ(doc.resultLog, WTEXT(""));
  EXPECT_EQ(doc.Text(), WTEXT(""));
}

// The parser scans common tags in line and matches end tags against the innermost name
// first; the general machine alone must build the same entries, records and scanner state.
TEST(ParserTest, InlineScanningBuildsWhatTheGeneralMachineBuilds) {
  for (const uint32_t scanFlags : {0u, static_cast<uint32_t>(IgnoreCase)}) {
    for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "inline_scanning.txt", 1)) {
      SCOPED_TRACE(::testing::Message() << row.where << " flags " << scanFlags);
      EXPECT_EQ(DifferenceOfParses(row[0], scanFlags), "");
    }
  }
}

// The loop over common nodes hands a tag back to the rest of the parse where the stack or the
// entries need more storage; the parse goes on the same either way, with empty elements at
// a full stack, the second page of entries, white space and a stack that grows while tags of
// changing lengths open.
TEST(ParserTest, CommonNodesAcrossStackAndPageGrowth) {
  WString text = WTEXT("<r><a><b><c><d><e>\r\n");
  for (int i = 0; i < 70000; ++i) text += i % 3 == 0 ? WTEXT("<i/> ") : WTEXT("<i x='1'/>");
  text += WTEXT("<f>");
  for (int i = 0; i < 40; ++i) text += i % 2 == 0 ? WTEXT("<g>") : WTEXT("<long id=\"7\">");
  for (int i = 39; i >= 0; --i) text += i % 2 == 0 ? WTEXT("</g>") : WTEXT("</long >");
  text += WTEXT("</f></e></d></c></b></a></r>");
  EXPECT_EQ(DifferenceOfParses(text, 0), "");
  XmlDoc doc;
  EXPECT_TRUE(Parse(doc, text));
  EXPECT_EQ(doc.nextFreeEntry, 1 + 6 + 70000 + 1 + 40);
  EXPECT_EQ(DifferenceOfParses(text.substr(0, text.size() - 20), 0), "");  // unended at the end
}

// Short start tags are read from masks of a block of units. Every tag body of up to six
// units drawn from the units that act in a start tag must parse as the general machine
// parses it, at every offset within a page, so that blocks that would cross into the next
// page are met too.
TEST(ParserTest, ShortStartTagsOfEveryShapeParseAsTheGeneralMachineParses) {
  const WChar alphabet[] = {'a', ' ', '=', '"', '\'', '>', '/'};
  constexpr int kAlphabet = static_cast<int>(std::size(alphabet));
  WString body;
  for (int length = 0; length <= 6; ++length) {
    int combinations = 1;
    for (int i = 0; i < length; ++i) combinations *= kAlphabet;
    for (int n = 0; n < combinations; ++n) {
      body.clear();
      for (int i = 0, k = n; i < length; ++i, k /= kAlphabet) body += alphabet[k % kAlphabet];
      const WString text = WTEXT("<r><b") + body + WTEXT("><c/></b></r>");
      SCOPED_TRACE(::testing::Message() << "length " << length << " shape " << n);
      EXPECT_EQ(DifferenceOfParses(text, 0), "");
      if (::testing::Test::HasFailure()) return;
    }
  }
  // The same tag with its block at every distance from the end of a page.
  WString padding;
  for (int shift = 0; shift < 2048; ++shift) {
    padding += WTEXT(" ");
    SCOPED_TRACE(::testing::Message() << "shift " << shift);
    const WString text = WTEXT("<r>") + padding + WTEXT("<node id=\"12\" v='3'></node></r>");
    EXPECT_EQ(DifferenceOfParses(text, 0), "");
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(DeclaredEncodingTest, DeclarationAndMetaTag) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "declared_encoding.txt", 2)) {
    SCOPED_TRACE(row.where);
    EXPECT_EQ(FindDeclaredEncoding(row.Text(0)), row[1]);
  }
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

constexpr uint32_t kNone = 0xFFFFFFFF;

TEST(ResultLogTest, RecordsComeOutByteForByte) {
  const std::map<std::string, int64_t> names = {
      {"ResultCount", ResultCount},       {"ResultType", ResultType},     {"ResultN", ResultN},
      {"ResultEncoding", ResultEncoding}, {"ResultLength", ResultLength}, {"ResultMsg", ResultMsg},
      {"ResultUpdate", ResultUpdate}};
  WString all = WTEXT("<a/>");
  WString expectedAll = all;
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "result_records.txt", 6, 7)) {
    SCOPED_TRACE(row.where);
    const auto flags = static_cast<uint32_t>(row.Value(2, names));
    const auto number = static_cast<uint32_t>(row.Value(3));
    const auto number2 = static_cast<uint32_t>(row.Value(4));
    const bool update = row.fields.size() > 6;
    WString log = update ? row[6] : WString();
    AddResult(log, row.Text(0), row.Text(1), flags, number, number2);
    EXPECT_EQ(log, row[5]);
    if (update) continue;
    AddResult(all, row.Text(0), row.Text(1), flags, number, number2);
    expectedAll += row[5];
  }
  EXPECT_EQ(all, expectedAll);  // each record goes after the last
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
