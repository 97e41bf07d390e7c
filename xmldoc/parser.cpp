#include <memory>

#include "xmldoc/parser.h"
#include "xmldoc/result_log.h"
#include "xmldoc/unit_search.h"
#include "xmldoc/xml_doc.h"

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

// The tag names of the open elements, by depth from 1. A name is kept as its offsets in the
// scanned text, which does not change during a parse, so opening an element copies nothing.
class OpenElementStack {
 public:
  // Stores the name of the element opened at `depth`, doubling the slots when full.
  void Store(int32_t depth, int32_t start, int32_t end) {
    if (depth >= capacity_) {
      const int32_t capacity = capacity_ * 2;
      auto names = std::make_unique<Name[]>(capacity);
      for (int32_t i = 1; i < capacity_; ++i) names[i] = names_[i];
      names_ = std::move(names);
      capacity_ = capacity;
    }
    names_[depth] = {start, end};
  }
  // The stored name at `depth` as a view into `text`.
  WStringView At(const WChar* text, int32_t depth) const {
    const Name& n = names_[depth];
    return WStringView(text + n.start, static_cast<size_t>(n.end - n.start + 1));
  }

 private:
  struct Name {
    int32_t start;
    int32_t end;  // last unit
  };
  int32_t capacity_ = 7;
  std::unique_ptr<Name[]> names_ = std::make_unique<Name[]>(7);
};

// TokenEquals against a stored name, with the common case of identical units first.
bool SameName(const Scanner& scanner, WStringView name) {
  const auto n = static_cast<size_t>(scanner.tokenEnd - scanner.tokenStart + 1);
  if (n == name.size()) {
    const WChar* token = scanner.text + scanner.tokenStart;
    size_t i = 0;
    while (i < n && token[i] == name[i]) ++i;
    if (i == n) return true;
  }
  return TokenEquals(scanner, name);
}

}  // namespace

uint32_t XmlDoc::ParseElements(uint32_t parseRoot, Scanner& scanner) {
  scanner.cursor = 0;
  const uint32_t baseLevel = Entry(parseRoot).Level();
  OpenElementStack names;
  NodeToken node;
  uint32_t innermost = parseRoot;
  int32_t depth = 0;
  uint32_t first = 0;

  // Closes every open element above `targetDepth` as unended, innermost first. Each moves
  // its children up to follow it; since all of them end under the element left open at the
  // target depth, each child is given that final parent once, which keeps deep unended
  // nesting linear.
  auto closeUnended = [&](int32_t targetDepth, uint32_t closingOffset) {
    uint32_t target = innermost;
    for (int32_t d = depth; d > targetDepth; --d) target = Entry(target).parent;
    Entry(parseRoot).entryFlags |= IllFormed;
    uint32_t previous = 0;  // the element closed just before, the last of U's own children
    while (depth > targetDepth) {
      const uint32_t u = innermost;
      ElementEntry& entry = Entry(u);
      const uint32_t parent = entry.parent;
      entry.SetEndTagLength(0);
      entry.entryFlags |= Unended;
      entry.length = entry.StartTagLength();
      if (entry.Has(ContentIllFormed)) {
        entry.entryFlags &= ~ContentIllFormed;
        Entry(parent).entryFlags |= ContentIllFormed;
      }
      if (const uint32_t firstChild = entry.firstChild) {
        const uint32_t lastChild = Entry(firstChild).prevSibling;
        // Only U's own children still need the new parent; those moved up from the element
        // closed before already carry it.
        for (uint32_t c = firstChild;; c = Entry(c).nextSibling) {
          Entry(c).parent = target;
          if (c == previous || Entry(c).nextSibling == 0) break;
        }
        ElementEntry& child = Entry(firstChild);
        child.entryFlags &= ~FirstChildFlag;
        child.prevSibling = u;
        entry.nextSibling = firstChild;  // U was its parent's last child
        entry.firstChild = 0;
        Entry(Entry(parent).firstChild).prevSibling = lastChild;
      }
      const WString name(names.At(scanner.text, depth));
      AddResult(resultLog, WTEXT("unended_start_tag"), name.c_str(), 0, Entry(u).start,
                closingOffset);
      previous = u;
      innermost = parent;
      --depth;
    }
  };

  for (;;) {
    const int32_t kind = ScanNode(scanner, node);
    if (kind == NodeElement) {
      const uint32_t e = AllocateEntry();
      if (first == 0) first = e;
      ElementEntry& entry = Entry(e);
      entry.parent = innermost;
      entry.nextSibling = 0;
      entry.firstChild = 0;
      ElementEntry& parent = Entry(innermost);
      if (parent.firstChild == 0) {
        parent.firstChild = e;
        entry.prevSibling = e;
        entry.entryFlags = FirstChildFlag;
      } else {
        ElementEntry& firstSibling = Entry(parent.firstChild);
        const uint32_t last = firstSibling.prevSibling;
        entry.prevSibling = last;
        Entry(last).nextSibling = e;
        firstSibling.prevSibling = e;
        entry.entryFlags = 0;
      }
      entry.SetLevel(baseLevel + depth);
      entry.start = node.start;
      entry.tagLengths = node.length & kStartTagMask;
      entry.length = node.length;
      if (!(node.nodeFlags & EmptyElement)) {
        ++depth;
        names.Store(depth, scanner.tokenStart, scanner.tokenEnd);
        innermost = e;
      }
    } else if (kind == NodeEndTag) {
      uint32_t m = innermost;
      int32_t d = depth;
      while (d > 0 && !SameName(scanner, names.At(scanner.text, d))) {
        m = Entry(m).parent;
        --d;
      }
      if (d > 0) {
        ElementEntry& closed = Entry(m);
        closed.length = node.start + node.length - closed.start;
        closed.SetEndTagLength(node.length);
        if (d < depth) closeUnended(d, static_cast<uint32_t>(scanner.tokenStart - 1));
        innermost = Entry(m).parent;
        depth = d - 1;
      } else {
        Entry(parseRoot).entryFlags |= IllFormed;
        Entry(innermost).entryFlags |= ContentIllFormed;
        AddResult(resultLog, WTEXT("lone_end_tag"), TokenText(scanner).c_str(), 0, node.start,
                  kNone);
      }
    } else if (kind == NodeError) {
      Entry(parseRoot).entryFlags |= IllFormed;
      Entry(innermost).entryFlags |= ContentIllFormed;
      resultLog += node.records;
    } else if (kind == NodeEndOfText) {
      if (depth > 0) closeUnended(0, static_cast<uint32_t>(scanner.cursor));
      return first;
    }
  }
}

bool XmlDoc::ParseDocument() {
  parentPos = mainPos = childPos = nodeKind = 0;
  nextFreeEntry = 1;
  const int32_t wanted = static_cast<int32_t>(text.size() / 64 + 8);
  if (elementIndex->capacity < wanted) ReserveEntries(*elementIndex, wanted);
  Entry(0) = ElementEntry{};

  if (!text.empty()) {
    Scanner scanner;
    scanner.text = text.c_str();
    scanner.scanFlags = flags;
    const uint32_t first = ParseElements(0, scanner);
    Entry(0).length = static_cast<uint32_t>(text.size());
    if (first >= 1) {
      Entry(0).firstChild = first;
      if (Entry(first).nextSibling != 0) {
        AddResult(resultLog, WTEXT("root_has_sibling"), nullptr, 0, kNone, kNone);
      }
    } else {
      AddResult(resultLog, WTEXT("no_root_element"), nullptr, 0, kNone, kNone);
    }
  }

  parentPos = mainPos = childPos = nodeKind = 0;
  entriesInOrder = true;  // the parse hands out entries as their start tags come
  const ElementEntry& root = Entry(0);
  return !root.Has(IllFormed) && root.firstChild != 0 && Entry(root.firstChild).nextSibling == 0;
}

bool XmlDoc::ParseText(const WChar* source) {
  if (source == nullptr) {
    WString().swap(text);
    ClearEntries(*elementIndex);
  } else {
    // The terminator is found several units at a time; templates run to kilobytes.
    text.assign(source, static_cast<size_t>(FindUnit(source, 0, 0, 0)));
  }
  resultLog.clear();
  return ParseDocument();
}
