#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <new>
#include <vector>

#include "tests/support/case_file.h"
#include "tests/support/random_below.h"
#include "xmldoc/element_index.h"
#include "xmldoc/index_check.h"
#include "xmldoc/reparse_check.h"
#include "xmldoc/xml_doc.h"

namespace {

// After every edit: the invariants hold and, where the text needs no repair, the index is
// what a fresh parse of the text makes.
void ExpectConsistent(const XmlDoc& doc) {
  EXPECT_EQ(CheckElementIndex(doc), "");
  EXPECT_EQ(CompareWithFreshParse(doc), "");
}

// The first element named `name` in document order, 0 if none.
uint32_t Find(const XmlDoc& doc, const WChar* name) {
  for (uint32_t e = 1; e < static_cast<uint32_t>(doc.nextFreeEntry); ++e) {
    if (doc.Entry(e).entryFlags != Released && doc.ElementName(e) == name) return e;
  }
  return 0;
}

// Navigates to `e` as FindChildElement and EnterElement would leave it.
void Select(XmlDoc& doc, uint32_t e) {
  doc.parentPos = doc.Entry(e).parent;
  doc.mainPos = e;
  doc.childPos = 0;
  doc.nodeKind = 1;
}

// Places the position for a new last child of `e`.
void SelectInside(XmlDoc& doc, uint32_t e) {
  doc.parentPos = e;
  doc.mainPos = 0;
  doc.childPos = 0;
  doc.nodeKind = 0;
}

TEST(WriteAttributeTest, ReplacesAddsOrRefusesTheValue) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "write_attribute.txt", 5, 6)) {
    SCOPED_TRACE(row.where);
    XmlDoc doc;
    doc.ParseText(row.Text(0));
    uint32_t e = Find(doc, row.Text(1));
    if (e == 0) e = doc.Entry(doc.Entry(0).firstChild).firstChild;  // a name the scanner cuts
    ASSERT_NE(e, 0u);
    Select(doc, e);
    const ElementEntry before = doc.Entry(e);
    if (row.Text(4) == nullptr) {
      EXPECT_FALSE(doc.WriteAttribute(e, row.Text(2), row.Text(3)));
      EXPECT_EQ(doc.Text(), row[0]);
      ExpectConsistent(doc);
      continue;
    }
    ASSERT_TRUE(doc.WriteAttribute(e, row.Text(2), row.Text(3)));
    EXPECT_EQ(doc.Text(), row[4]);
    const auto delta = static_cast<uint32_t>(row[4].size() - row[0].size());
    EXPECT_EQ(doc.Entry(e).length, before.length + delta);
    EXPECT_EQ(doc.Entry(e).StartTagLength(), before.StartTagLength() + delta);
    EXPECT_EQ(doc.Entry(e).EndTagLength(), before.EndTagLength());
    EXPECT_EQ(doc.ReadAttribute(row.Text(2)), row.fields.size() > 5 ? row[5] : row[3]);
    EXPECT_EQ(doc.mainPos, e);
    // A start tag whose ">" was written over ends where the index says, without one.
    const ElementEntry& after = doc.Entry(e);
    if (doc.TextUnit(after.start + after.StartTagLength() - 1) == '>') ExpectConsistent(doc);
  }

  XmlDoc doc;
  doc.ParseText(WTEXT("<r><a/></r>"));
  EXPECT_FALSE(doc.WriteAttribute(Find(doc, WTEXT("a")), WTEXT("v"), WTEXT("1")));  // no position
  Select(doc, Find(doc, WTEXT("a")));
  EXPECT_FALSE(doc.WriteAttribute(0, WTEXT("v"), WTEXT("1")));
  EXPECT_EQ(doc.Text(), WTEXT("<r><a/></r>"));
  // A document that compares names without case finds the attribute whatever its case.
  doc.flags = IgnoreCase;
  ASSERT_TRUE(doc.WriteAttribute(Find(doc, WTEXT("a")), WTEXT("v"), WTEXT("1")));
  ASSERT_TRUE(doc.WriteAttribute(Find(doc, WTEXT("a")), WTEXT("V"), WTEXT("2")));
  EXPECT_EQ(doc.Text(), WTEXT("<r><a v=\"2\"/></r>"));
}

// Only tags whose shape leaves no doubt about where the parser ends them skip the second
// reading after a write. Random start tags made of the units that decide quoting and tag
// ends: after every write the writer accepted, the parser must read the tag exactly as long,
// and as empty or not, as the index says.
TEST(WriteAttributeTest, EveryAcceptedWriteLeavesATagTheParserReadsAsIndexed) {
  const WChar* const kPieces[] = {WTEXT("a"),  WTEXT("v"),   WTEXT(" "),   WTEXT("="),
                                  WTEXT("\""), WTEXT("'"),   WTEXT("/"),   WTEXT(">"),
                                  WTEXT("?"),  WTEXT("=\""), WTEXT("\" "), WTEXT("\u4e2d")};
  const WChar* const names[] = {WTEXT("a"), WTEXT("b"), WTEXT("v"), WTEXT("value")};
  const WChar* const values[] = {WTEXT(""), WTEXT("x\"y'z<>&"), WTEXT("/>")};
  RandomBelow next{2026};
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    WString text = WTEXT("<r><t");
    for (uint32_t n = next(12); n-- != 0;) text += kPieces[next(std::size(kPieces))];
    text += next(2) ? WTEXT("/>") : WTEXT("></t>");
    text += WTEXT("</r>");
    XmlDoc doc;
    doc.ParseText(text.c_str());
    const uint32_t root = doc.Entry(0).firstChild;
    const uint32_t e = root != 0 ? doc.Entry(root).firstChild : 0;
    if (e == 0) continue;
    Select(doc, e);
    for (int write = 0; write < 3; ++write) {
      const ElementEntry before = doc.Entry(e);
      const bool empty = before.StartTagLength() == before.length && !before.Has(Unended);
      if (!doc.WriteAttribute(e, names[next(4)], values[next(3)])) continue;
      ++accepted;
      const ElementEntry entry = doc.Entry(e);
      SCOPED_TRACE(testing::Message() << "round " << round << " write " << write);
      // A value written over the tag's own ">", or over the "/" of its "/>", leaves a tag that
      // the parser reads on past that end, as written.
      const size_t last = entry.start + entry.StartTagLength() - 1;
      if (doc.TextUnit(last) != '>' || (empty && doc.TextUnit(last - 1) != '/')) break;
      ASSERT_TRUE(doc.StartTagReadsAs(e, entry.StartTagLength()));
      ASSERT_EQ(CheckElementIndex(doc), "");
    }
  }
  EXPECT_GT(accepted, 10000);  // the rounds do reach the writer, not only its refusals
}

// The value is escaped straight into the text, so a value that lies in that very text must
// be read before the text moves or grows under it; and a shorter value pulls the rest back.
TEST(WriteAttributeTest, ValueFromTheTextItselfHeadroomAndShorterValues) {
  XmlDoc doc;
  doc.SetText(WTEXT("<r><a v=\"\"/><b/></r>"));  // no room: the write must reallocate
  doc.ParseDocument();
  const uint32_t a = Find(doc, WTEXT("a"));
  Select(doc, a);
  const WString copy(doc.Text().substr(3));
  ASSERT_TRUE(doc.WriteAttribute(a, WTEXT("v"), doc.Text().data() + 3));
  EXPECT_EQ(doc.Text(),
            WTEXT("<r><a v=\"&lt;a v=&quot;&quot;/&gt;&lt;b/&gt;&lt;/r&gt;\"/><b/></r>"));
  EXPECT_EQ(doc.ReadAttribute(WTEXT("v")), copy);
  ExpectConsistent(doc);

  // The text grew with headroom: writes that fit it never move the text.
  const size_t size = doc.TextLength();
  EXPECT_GE(doc.TextCapacity(), size + size / 2 + 128);
  const WChar* data = doc.Text().data();
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(doc.WriteAttribute(a, WTEXT("w"), WTEXT("xy")));
  EXPECT_EQ(doc.Text().data(), data);

  ASSERT_TRUE(doc.WriteAttribute(a, WTEXT("v"), WTEXT("s")));
  EXPECT_EQ(doc.Text(), WTEXT("<r><a v=\"s\" w=\"xy\"/><b/></r>"));
  ExpectConsistent(doc);
  ASSERT_TRUE(doc.WriteAttribute(a, WTEXT("v"), nullptr));
  EXPECT_EQ(doc.Text(), WTEXT("<r><a v=\"\" w=\"xy\"/><b/></r>"));
  ExpectConsistent(doc);
}

// Each insertion leaves its text, keeps the parent, opens up and ends the element it goes
// into, leaves the new element current and the index as a fresh parse would make it.
TEST(InsertTest, ElementsGoInAsTheyAreAndMarkupOnALineOfItsOwn) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "insert.txt", 8)) {
    SCOPED_TRACE(row.where);
    XmlDoc doc;
    if (row.Text(1) != nullptr) doc.ParseText(row.Text(1));
    const uint32_t e = Find(doc, row.Text(2));
    row.Value(3) != 0 ? SelectInside(doc, e) : Select(doc, e);
    const uint32_t parent = doc.parentPos;
    const bool element = row[0] == WTEXT("element");
    EXPECT_EQ(element ? doc.InsertElement(row.Text(4)) : doc.InsertMarkup(row.Text(4)),
              row.Value(5) != 0);
    EXPECT_EQ(doc.Text(), row[6]);
    EXPECT_EQ(doc.parentPos, parent);
    EXPECT_TRUE(element || doc.resultLog.empty());  // the log holds the markup's parse records
    EXPECT_FALSE(doc.Entry(e).Has(Unended));
    const ElementEntry& current = doc.Entry(doc.mainPos);
    EXPECT_EQ(doc.nodeKind, row.Text(7) != nullptr ? 1u : 0u);
    EXPECT_EQ(doc.ElementName(doc.mainPos), row.Text(7) != nullptr ? row[7] : WString());
    EXPECT_EQ(doc.TextUnit(current.start), row.Text(7) != nullptr ? '<' : doc.TextUnit(0));
    if (element) {
      EXPECT_EQ(doc.TextRange(current.start, current.start + current.length),
                WTEXT("<") + row[4] + WTEXT("/>"));
    }
    ExpectConsistent(doc);
  }
}

// End tags of 1024 units and more outgrow the entry's 10-bit field; content still goes in
// before them, whether the parser read the end tag or an edit wrote it.
TEST(InsertElementTest, LastChildGoesBeforeAnEndTagOfAnyLength) {
  for (const size_t nameLength : {1021u, 1022u, 1024u, 1500u, 2046u, 2047u}) {
    SCOPED_TRACE(testing::Message() << "name of " << nameLength << " units");
    const WString name(nameLength, WChar('n'));
    const WString endTag = WTEXT("</") + name + WTEXT(">");

    XmlDoc parsed;
    parsed.ParseText((WTEXT("<") + name + WTEXT("><a/>") + endTag).c_str());
    EXPECT_EQ(parsed.EndTagLength(1), nameLength + 3);
    SelectInside(parsed, 1);
    EXPECT_TRUE(parsed.InsertElement(WTEXT("b")));
    EXPECT_EQ(parsed.Text(), WTEXT("<") + name + WTEXT("><a/><b/>") + endTag);
    ExpectConsistent(parsed);

    XmlDoc opened;
    opened.ParseText((WTEXT("<") + name + WTEXT("/>")).c_str());
    SelectInside(opened, 1);
    EXPECT_TRUE(opened.InsertElement(WTEXT("a")));
    SelectInside(opened, 1);
    EXPECT_TRUE(opened.InsertElement(WTEXT("b")));
    EXPECT_EQ(opened.Text(), WTEXT("<") + name + WTEXT("><a/><b/>") + endTag);
    EXPECT_EQ(opened.EndTagLength(1), nameLength + 3);
    ExpectConsistent(opened);
  }
}

TEST(InsertMarkupTest, OwnTextAndIllFormedMarkup) {
  // Markup read from the document's own text is taken before the text moves or grows.
  XmlDoc self;
  self.SetText(WTEXT("<a x=\"1\"/>"));  // no room: the insertion reallocates
  self.ParseDocument();
  SelectInside(self, 1);
  EXPECT_TRUE(self.InsertMarkup(self.Text().data()));
  EXPECT_EQ(self.Text(), WTEXT("<a x=\"1\">\r\n<a x=\"1\"/>\r\n</a>"));
  ExpectConsistent(self);

  // Ill-formed markup goes in whole without line breaks; the elements its parse found are
  // linked and the parse records stay in the log.
  XmlDoc bad;
  bad.ParseText(WTEXT("<r>\r\n<x/>\r\n<z/>\r\n</r>"));
  const uint32_t z = Find(bad, WTEXT("z"));
  Select(bad, Find(bad, WTEXT("x")));
  EXPECT_FALSE(bad.InsertMarkup(WTEXT(" <a><b></c>")));
  EXPECT_EQ(bad.Text(), WTEXT("<r>\r\n<x/> <a><b></c>\r\n<z/>\r\n</r>"));
  EXPECT_EQ(bad.ElementName(bad.mainPos), WTEXT("a"));
  EXPECT_EQ(bad.Entry(bad.mainPos).start, 10u);
  EXPECT_EQ(bad.Entry(Find(bad, WTEXT("b"))).start, 13u);
  EXPECT_EQ(bad.Entry(z).start, 22u);
  EXPECT_NE(bad.resultLog.find(WTEXT("<lone_end_tag tagname=\"c\" offset=\"7\"/>")), WString::npos);
  EXPECT_TRUE(bad.Entry(Find(bad, WTEXT("r"))).Has(ContentIllFormed));
  EXPECT_EQ(CheckElementIndex(bad), "");
}

TEST(RemoveElementTest, CutsTheElementAndTheWhiteSpaceBeforeATag) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "remove_element.txt", 4)) {
    SCOPED_TRACE(row.where);
    XmlDoc edited;
    edited.ParseText(row.Text(0));
    const uint32_t previous = edited.RemoveElement(Find(edited, row.Text(1)));
    EXPECT_EQ(edited.Text(), row[2]);
    EXPECT_EQ(previous != 0 ? edited.ElementName(previous) : WTEXT("-"), row[3]);
    EXPECT_EQ(Find(edited, row.Text(1)), 0u);
    ExpectConsistent(edited);
  }
}

TEST(RemoveElementTest, RemovedEntriesAreNeverHandedOutAgain) {
  XmlDoc doc;
  doc.ParseText(WTEXT("<r><a><b/><c/></a><d/></r>"));
  const uint32_t a = Find(doc, WTEXT("a"));
  const int32_t next = doc.nextFreeEntry;
  Select(doc, Find(doc, WTEXT("d")));
  doc.RemoveElement(a);
  for (uint32_t e = a; e < a + 3; ++e) EXPECT_EQ(doc.Entry(e).entryFlags, Released);
  doc.InsertElement(WTEXT("n"));
  EXPECT_EQ(doc.mainPos, static_cast<uint32_t>(next));
  doc.InsertMarkup(WTEXT("<m/>"));
  EXPECT_EQ(doc.mainPos, static_cast<uint32_t>(next + 2));  // after the temporary root
  EXPECT_EQ(doc.Text(), WTEXT("<r><d/><n/><m/>\r\n</r>"));
  ExpectConsistent(doc);
}

// A document nested 100000 deep is parsed, walked and edited without recursion.
TEST(ShiftOffsetsTest, DeepNestingNeedsNoRecursion) {
  constexpr int kDepth = 100000;
  WString text;
  for (int i = 0; i < kDepth; ++i) text += WTEXT("<a>");
  text += WTEXT("<b/>");
  for (int i = 0; i < kDepth; ++i) text += WTEXT("</a>");
  XmlDoc doc;
  EXPECT_TRUE(doc.ParseText(text.c_str()));
  EXPECT_EQ(CheckElementIndex(doc), "");
  EXPECT_EQ(doc.nextFreeEntry, kDepth + 2);
  EXPECT_EQ(doc.Entry(kDepth).Level(), static_cast<uint32_t>((kDepth - 1) & 0xFFFF));
  int depth = 0;
  while (doc.FindChildElement(WTEXT("a"))) {
    doc.EnterElement();
    ++depth;
  }
  // The root becomes mainPos by the first find; every element below it is entered.
  EXPECT_EQ(depth, kDepth - 1);
  EXPECT_EQ(doc.mainPos, static_cast<uint32_t>(kDepth));

  // Unended all the way down: each element is closed at the end, still in linear time.
  EXPECT_FALSE(doc.ParseText(text.substr(0, 3 * kDepth).c_str()));
  EXPECT_EQ(CheckElementIndex(doc), "");
  EXPECT_EQ(doc.Entry(kDepth).parent, 0u);
  EXPECT_EQ(doc.Entry(1).prevSibling, static_cast<uint32_t>(kDepth));

  text += WTEXT("<c/>");
  doc.SetText(text);
  doc.ParseDocument();
  const uint32_t b = Find(doc, WTEXT("b"));
  Select(doc, b);
  ASSERT_TRUE(doc.WriteAttribute(b, WTEXT("v"), WTEXT("1")));
  EXPECT_EQ(doc.Entry(1).length, text.size() - 4 + 6);
  EXPECT_EQ(doc.Entry(Find(doc, WTEXT("c"))).start, text.size() - 4 + 6);
  Select(doc, 1);
  ASSERT_TRUE(doc.WriteAttribute(1, WTEXT("w"), WTEXT("2")));  // shifts every descendant
  EXPECT_EQ(doc.Entry(b).start, 3u * kDepth + 6);
  EXPECT_EQ(doc.RemoveElement(1), 0u);
  EXPECT_EQ(doc.Text(), WTEXT("<c/>"));
  EXPECT_EQ(doc.Entry(b).entryFlags, Released);
  EXPECT_EQ(CheckElementIndex(doc), "");
}

// Thousands of edits of every kind on one document, each followed by the full check.
TEST(EditSequenceTest, StaysConsistentOverThousandsOfEdits) {
  XmlDoc doc;
  doc.ParseText(WTEXT("<?xml version=\"1.0\"?>\r\n<root>\r\n  <category id=\"1\">\r\n")
                    WTEXT("    <item name=\"a\" value=\"\"/>\r\n  </category>\r\n</root>\r\n"));
  const WChar* const markups[] = {
      WTEXT("<item name=\"n\" value=\"\"/>"),
      WTEXT("<category id=\"2\">\r\n    <item name=\"m\"/>\r\n  </category>\r\n  "),
      WTEXT("<x><y/><z>t</z></x>"),
      WTEXT("<e></e>"),
  };
  const WChar* const values[] = {WTEXT(""), WTEXT("5 MB"), WTEXT("a<b>&\"c\"'d'"),
                                 WTEXT("\u64cd\u4f5c\u7cfb\u7edf")};
  const WChar* const names[] = {WTEXT("value"), WTEXT("name"), WTEXT("id"), WTEXT("k")};
  RandomBelow next{12345};
  for (int step = 0; step < 3000; ++step) {
    std::vector<uint32_t> live;
    for (uint32_t e = 1; e < static_cast<uint32_t>(doc.nextFreeEntry); ++e) {
      if (doc.Entry(e).entryFlags != Released) live.push_back(e);
    }
    ASSERT_FALSE(live.empty());
    const uint32_t e = live[next(static_cast<uint32_t>(live.size()))];
    const uint32_t root = doc.Entry(0).firstChild;
    switch (next(live.size() > 60 ? 5 : 4)) {
      case 0:
      case 1:
        Select(doc, e);
        ASSERT_TRUE(doc.WriteAttribute(e, names[next(4)], values[next(4)]));
        break;
      case 2:
        next(2) ? SelectInside(doc, e) : Select(doc, e == root ? live.back() : e);
        doc.InsertMarkup(markups[next(4)]);
        break;
      case 3:
        SelectInside(doc, e);
        doc.InsertElement(WTEXT("n"));
        break;
      default:
        if (e != root) doc.RemoveElement(e);
        break;
    }
    SCOPED_TRACE(testing::Message() << "step " << step);
    ASSERT_EQ(CheckElementIndex(doc), "");
    ASSERT_EQ(CompareWithFreshParse(doc), "");
  }
}

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
