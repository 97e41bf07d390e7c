// Fuzz target for the editor: the input is a document (its bytes up to the first zero, each
// widened to one unit) followed by a program of edits decoded from the remaining bytes:
// attribute writes with arbitrary names and values, element insertions, insertions of
// arbitrary markup and removals, each at an element chosen among the live ones. After every
// edit the index must hold its invariants and, while every edit so far kept the document
// well-formed, equal a fresh parse of the text; a written value must read back, or, written
// over an attribute without a value, stand in place of its name. A value written over a
// tag's own end leaves a tag the parser reads on past it: from then on the edits only run.
// Any difference aborts.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "xmldoc/escaping.h"
#include "xmldoc/index_check.h"
#include "xmldoc/reparse_check.h"
#include "xmldoc/scanner.h"
#include "xmldoc/xml_doc.h"

namespace {

[[noreturn]] void Fail(const char* step, const std::string& error) {
  std::fprintf(stderr, "after %s: %s\n", step, error.c_str());
  std::abort();
}

// The text for a failure message, units outside ASCII as "?".
std::string Narrow(const WString& text) {
  std::string out;
  for (WChar u : text) out += u < 0x80 ? static_cast<char>(u) : '?';
  return out;
}

class Program {
 public:
  Program(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Done() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // Up to `most` units; bytes from 0x80 up become CJK ideographs, so that values and
  // names also carry text outside ASCII. A zero byte ends the string early, as it would.
  WString Text(size_t most) {
    const size_t length = Byte() % (most + 1);
    WString text;
    for (size_t i = 0; i < length && !Done(); ++i) {
      const uint8_t b = Byte();
      text += static_cast<WChar>(b < 0x80 ? b : 0x4E00 + b);
    }
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// Live elements in document order.
std::vector<uint32_t> Elements(const XmlDoc& doc) {
  std::vector<uint32_t> out;
  uint32_t e = doc.Entry(0).firstChild;
  while (e != 0) {
    out.push_back(e);
    if (doc.Entry(e).firstChild != 0) {
      e = doc.Entry(e).firstChild;
      continue;
    }
    while (e != 0 && doc.Entry(e).nextSibling == 0) e = doc.Entry(e).parent;
    if (e != 0) e = doc.Entry(e).nextSibling;
  }
  return out;
}

// Makes `e` the current element the way navigation would, or, with `inside`, places the
// position for a new last child of `e` (e may be 0: the document level).
void Position(XmlDoc& doc, uint32_t e, bool inside) {
  doc.childPos = 0;
  if (inside) {
    doc.parentPos = e;
    doc.mainPos = 0;
    doc.nodeKind = 0;
  } else {
    doc.parentPos = doc.Entry(e).parent;
    doc.mainPos = e;
    doc.nodeKind = 1;
  }
}

void Check(const XmlDoc& doc, const char* step, bool comparable) {
  if (std::string error = CheckElementIndex(doc); !error.empty()) Fail(step, error);
  if (!comparable) return;
  bool wellFormed = false;
  if (std::string error = CompareWithFreshParse(doc, &wellFormed); !error.empty()) {
    Fail(step, error);
  }
  if (!wellFormed) Fail(step, "edits of a well-formed document made it ill-formed");
}

// The search for the common shape of tag must leave the scanner exactly as the general
// reading does, on whatever tags the edits have made. Returns the scanner as the search of
// the document's own flags left it, with `found` set as it returned.
Scanner CompareAttributeSearches(const XmlDoc& doc, uint32_t e, const WString& name, bool& found) {
  Scanner result;
  for (const uint32_t scanFlags : {0u, uint32_t{IgnoreCase}}) {
    Scanner fast;
    fast.cursor = static_cast<int32_t>(doc.Entry(e).start) + 1;
    fast.text = doc.TextFrom(static_cast<size_t>(fast.cursor));
    fast.scanFlags = scanFlags;
    Scanner general = fast;
    const bool fastFound = FindAttribute(fast, name.c_str());
    if (fastFound != FindAttributeInGeneral(general, name.c_str()) ||
        fast.tokenStart != general.tokenStart || fast.tokenEnd != general.tokenEnd ||
        fast.cursor != general.cursor || fast.scanFlags != general.scanFlags ||
        fast.matchStart != general.matchStart || fast.matchGap != general.matchGap ||
        fast.plainTag != general.plainTag) {
      Fail("FindAttribute", "the two attribute searches differ in " + Narrow(doc.DocumentText()));
    }
    if (scanFlags == doc.flags) {
      result = fast;
      found = fastFound;
    }
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // EDIT_TRACE=1 prints every edit with the text it applies to, to follow a finding.
  static const bool trace = std::getenv("EDIT_TRACE") != nullptr;
  size_t split = 0;
  while (split < size && data[split] != 0) ++split;
  XmlDoc doc;
  doc.SetText(WString(data, data + split));
  // Repaired documents keep the parse's repairs (children moved up, unended marks), which a
  // fresh parse of edited text need not reproduce; they get the invariant check only.
  doc.ParseDocument();
  bool comparable = !doc.Entry(0).Has(IllFormed);
  bool checked = true;  // no tag has lost its end to a written value
  Check(doc, "ParseDocument", comparable);

  Program program(data + split + (split < size ? 1 : 0), size - split - (split < size ? 1 : 0));
  for (int steps = 0; !program.Done() && steps < 64; ++steps) {
    const uint8_t op = program.Byte();
    const std::vector<uint32_t> elements = Elements(doc);
    const size_t choice = program.Byte();
    // Index `elements.size()` (taken modulo one more) stands for the document level.
    const uint32_t target = choice % (elements.size() + 1) < elements.size()
                                ? elements[choice % (elements.size() + 1)]
                                : 0;
    if (trace) {
      std::fprintf(stderr, "edit %d at %u in: %s\n", op % 4, target,
                   Narrow(doc.DocumentText()).c_str());
    }
    switch (op % 4) {
      case 0: {
        if (target == 0) break;
        const WString name = program.Text(6);
        const WString value = program.Text(24);
        Position(doc, target, false);
        bool found = false;
        const Scanner search = CompareAttributeSearches(doc, target, name, found);
        // An attribute without a value: the search's token is its name.
        const bool bare = found && (search.scanFlags & QuotedToken) == 0 &&
                          search.tokenStart == search.matchStart + search.matchGap;
        const WString before = doc.DocumentText();
        const ElementEntry unwritten = doc.Entry(target);
        const bool empty =
            unwritten.StartTagLength() == unwritten.length && !unwritten.Has(Unended);
        if (doc.WriteAttribute(target, name.c_str(), value.c_str())) {
          const ElementEntry entry = doc.Entry(target);
          if (bare) {
            const WString expected = before.substr(0, static_cast<size_t>(search.tokenStart)) +
                                     WChar('"') + EscapeText(value.c_str()) + WChar('"') +
                                     before.substr(static_cast<size_t>(search.tokenEnd + 1));
            if (doc.DocumentText() != expected) {
              Fail("WriteAttribute",
                   "value is not in place of the name in " + Narrow(doc.DocumentText()));
            }
          } else if (doc.ReadAttribute(name.c_str()) != value.c_str()) {
            Fail("WriteAttribute", "value does not read back in " + Narrow(doc.DocumentText()));
          }
          const size_t last = size_t(entry.start) + entry.StartTagLength() - 1;
          if (doc.TextUnit(last) != '>' || (empty && doc.TextUnit(last - 1) != '/')) {
            checked = false;  // the value went over the tag's ">" or the "/" of its "/>"
          } else if (checked && !doc.StartTagReadsAs(target, entry.StartTagLength())) {
            // Ill-formed documents are not compared with a fresh parse, but the written tag
            // must still end where the index says, in every document.
            Fail("WriteAttribute", "the parser reads the written tag differently");
          }
        } else if (doc.DocumentText() != before) {
          Fail("WriteAttribute", "refused write changed the text");
        }
        if (checked) Check(doc, "WriteAttribute", comparable);
        break;
      }
      case 1: {
        const WString markup = program.Text(48);
        Position(doc, target, (op & 0x10) != 0 || target == 0);
        doc.InsertMarkup(markup.c_str());
        // Ill-formed markup goes in whole with the entries its own parse made, which a parse
        // of the whole text need not reproduce.
        if (!doc.resultLog.empty()) comparable = false;
        // Markup that starts with "<?>" reads differently on its own, where the "<?>" is at
        // the start, from how it reads anywhere else in the document.
        if (markup.compare(0, 3, WTEXT("<?>")) == 0) comparable = false;
        if (checked) Check(doc, "InsertMarkup", comparable);
        break;
      }
      case 2: {
        if (target == 0) break;
        const uint32_t previous = doc.Entry(target).prevSibling;
        const bool first = doc.Entry(target).Has(FirstChildFlag);
        if (doc.RemoveElement(target) != (first ? 0 : previous)) {
          Fail("RemoveElement", "result is not the previous sibling");
        }
        if (doc.Entry(target).entryFlags != Released) Fail("RemoveElement", "not released");
        // A "<?>" is a complete instruction anywhere but at the very start of a text, where it
        // runs on to a later "?>": removing what stood before it rightly changes the parse.
        if (doc.TextRange(0, std::min<size_t>(3, doc.TextLength())) == WTEXT("<?>")) {
          comparable = false;
        }
        if (checked) Check(doc, "RemoveElement", comparable);
        break;
      }
      case 3: {
        WString name;
        for (uint8_t n = program.Byte() % 4; n-- != 0;) name += static_cast<WChar>('a' + n);
        name.insert(0, 1, 'e');
        Position(doc, target, (op & 0x10) != 0 || target == 0);
        const int32_t handed = doc.nextFreeEntry;
        doc.InsertElement(name.c_str());
        if (doc.mainPos != static_cast<uint32_t>(handed)) Fail("InsertElement", "entry reused");
        if (checked) Check(doc, "InsertElement", comparable);
        break;
      }
    }
  }
  return 0;
}
