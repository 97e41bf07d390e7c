#include <algorithm>
#include <memory>

#include "xmldoc/common_nodes.h"
#include "xmldoc/parser.h"
#include "xmldoc/result_log.h"
#include "xmldoc/unit_search.h"
#include "xmldoc/xml_doc.h"

namespace {

using common_nodes::CommonNode;
using common_nodes::EndsName;
using common_nodes::ScanCommonNode;

constexpr uint32_t kNone = 0xFFFFFFFF;

// The tag names of the open elements, by depth from 1. A name is kept as its offset and
// length in the scanned text, which does not change during a parse, so opening an element
// copies nothing.
class OpenElementStack {
 public:
  // Stores the name of the element opened at `depth`, doubling the slots when full.
  void Store(int32_t depth, int32_t start, int32_t length) {
    if (depth >= capacity_) Grow();
    names_[depth] = {start, length};
  }
  int32_t Start(int32_t depth) const { return names_[depth].start; }
  int32_t Length(int32_t depth) const { return names_[depth].length; }
  // The stored name at `depth` as a view into `text`.
  WStringView At(const WChar* text, int32_t depth) const {
    return WStringView(text + Start(depth), static_cast<size_t>(Length(depth)));
  }

 private:
  struct Name {
    int32_t start;
    int32_t length;
  };
  void Grow() {
    // Slots above the depth in use are written before they are read: no need to clear them.
    const int32_t capacity = capacity_ * 2;
    auto names = std::make_unique_for_overwrite<Name[]>(static_cast<size_t>(capacity));
    std::copy(names_.get() + 1, names_.get() + capacity_, names.get() + 1);
    names_ = std::move(names);
    capacity_ = capacity;
  }
  int32_t capacity_ = 7;
  std::unique_ptr<Name[]> names_ = std::make_unique_for_overwrite<Name[]>(7);
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

// Whether the n units at `a` are those at `b`. The units at `b` are never zero, so the
// comparison fails at the terminator of `a`'s text at the latest; names of up to eight units
// are compared in one block where neither block leaves its page.
VELMORA_WHOLE_BLOCK_READS bool SameUnits(const WChar* a, const WChar* b, int32_t n) {
#if defined(__SSE2__)
  constexpr uintptr_t kPageOffset = 4095;
  if (n <= 8 && (reinterpret_cast<uintptr_t>(a) & kPageOffset) <= 4096 - 16 &&
      (reinterpret_cast<uintptr_t>(b) & kPageOffset) <= 4096 - 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
    const auto differ = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(x, y)));
    return (differ & ((1u << (2 * n)) - 1)) == 0;
  }
#endif
  for (int32_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The innermost open element and its depth.
struct OpenElements {
  uint32_t innermost;
  int32_t depth;
};

// Closes every open element above `targetDepth` as unended, innermost first. Each moves its
// children up to follow it; since all of them end under the element left open at the target
// depth, each child is given that final parent once, which keeps deep unended nesting linear.
void CloseUnended(XmlDoc& doc, uint32_t parseRoot, const OpenElementStack& names, const WChar* t,
                  OpenElements& open, int32_t targetDepth, uint32_t closingOffset) {
  uint32_t target = open.innermost;
  for (int32_t d = open.depth; d > targetDepth; --d) target = doc.Entry(target).parent;
  doc.Entry(parseRoot).entryFlags |= IllFormed;
  uint32_t previous = 0;  // the element closed just before, the last of U's own children
  while (open.depth > targetDepth) {
    const uint32_t u = open.innermost;
    ElementEntry& entry = doc.Entry(u);
    const uint32_t parent = entry.parent;
    entry.SetEndTagLength(0);
    entry.entryFlags |= Unended;
    entry.length = entry.StartTagLength();
    if (entry.Has(ContentIllFormed)) {
      entry.entryFlags &= ~ContentIllFormed;
      doc.Entry(parent).entryFlags |= ContentIllFormed;
    }
    if (const uint32_t firstChild = entry.firstChild) {
      const uint32_t lastChild = doc.Entry(firstChild).prevSibling;
      // Only U's own children still need the new parent; those moved up from the element
      // closed before already carry it.
      for (uint32_t c = firstChild;; c = doc.Entry(c).nextSibling) {
        doc.Entry(c).parent = target;
        if (c == previous || doc.Entry(c).nextSibling == 0) break;
      }
      ElementEntry& child = doc.Entry(firstChild);
      child.entryFlags &= ~FirstChildFlag;
      child.prevSibling = u;
      entry.nextSibling = firstChild;  // U was its parent's last child
      entry.firstChild = 0;
      doc.Entry(doc.Entry(parent).firstChild).prevSibling = lastChild;
    }
    const WString name(names.At(t, open.depth));
    AddResult(doc.resultLog, WTEXT("unended_start_tag"), name.c_str(), 0, doc.Entry(u).start,
              closingOffset);
    previous = u;
    open.innermost = parent;
    --open.depth;
  }
}

// ParseElements, with the common nodes scanned in line (kCommonNodesInline) or every node
// by the general machine alone. Both must build exactly the same entries and records. The
// cursor, the innermost element and the depth stay in locals that nothing else can reach,
// so that they live in registers through the writes to entries.
template <bool kCommonNodesInline>
uint32_t ParseElementsWith(XmlDoc& doc, uint32_t parseRoot, Scanner& scanner) {
  const WChar* const t = scanner.text;
  const uint32_t baseLevel = doc.Entry(parseRoot).Level();
  OpenElementStack names;
  NodeToken node;
  uint32_t innermost = parseRoot;
  int32_t depth = 0;
  uint32_t first = 0;
  int32_t p = 0;  // the cursor

  // An end tag of `length` units at `start` closes open element m at depth d; the ones above
  // it were never ended. `nameStart` is the end tag's name.
  auto closeElement = [&](uint32_t m, int32_t d, uint32_t start, uint32_t length,
                          int32_t nameStart) {
    ElementEntry& closed = doc.Entry(m);
    closed.length = start + length - closed.start;
    closed.SetEndTagLength(length);
    if (d < depth) {
      OpenElements open{innermost, depth};
      CloseUnended(doc, parseRoot, names, t, open, d, static_cast<uint32_t>(nameStart - 1));
    }
    innermost = doc.Entry(m).parent;
    depth = d - 1;
  };

  for (;;) {
    int32_t kind = NodeError;
    uint32_t start = 0;
    uint32_t length = 0;
    bool empty = false;
    if constexpr (kCommonNodesInline) {
      if (t[p] == '<' && t[p + 1] == '/' && depth > 0) {
        // Nearly every end tag closes the innermost element: its name is the stored one,
        // followed by a unit that ends a name.
        const int32_t nameStart = p + 2;
        const int32_t nameEnd = nameStart + names.Length(depth);
        if (SameUnits(t + nameStart, t + names.Start(depth), names.Length(depth)) &&
            EndsName(t[nameEnd])) {
          const int32_t q = common_nodes::FindTagEnd(t, nameEnd);
          if (t[q] != 0) {
            scanner.tokenStart = nameStart;
            scanner.tokenEnd = nameEnd - 1;
            closeElement(innermost, depth, static_cast<uint32_t>(p),
                         static_cast<uint32_t>(q + 1 - p), nameStart);
            p = q + 1;
            continue;
          }
        }
      }
      const CommonNode found = ScanCommonNode(t, p);
      if (found.kind == NodeWhitespace) {
        p = found.end;
        continue;
      }
      if (found.kind != NodeError) {
        kind = found.kind;
        scanner.tokenStart = found.nameStart;
        scanner.tokenEnd = found.nameEnd - 1;
        start = static_cast<uint32_t>(p);
        length = static_cast<uint32_t>(found.end - p);
        empty = found.empty;
        p = found.end;
      }
    }
    if (kind == NodeError) {
      scanner.cursor = p;
      kind = ScanNodeInGeneral(scanner, node);
      p = scanner.cursor;
      start = node.start;
      length = node.length;
      empty = (node.nodeFlags & EmptyElement) != 0;
      if (kind == NodeError) {
        doc.Entry(parseRoot).entryFlags |= IllFormed;
        doc.Entry(innermost).entryFlags |= ContentIllFormed;
        doc.resultLog += node.records;
        continue;
      }
      if (kind == NodeEndOfText) {
        if (depth > 0) {
          OpenElements open{innermost, depth};
          CloseUnended(doc, parseRoot, names, t, open, 0, static_cast<uint32_t>(p));
        }
        return first;
      }
    }

    if (kind == NodeElement) {
      // A new entry, the last child of the innermost open element, which it replaces unless
      // the tag was empty.
      const uint32_t e = doc.AllocateEntry();
      if (first == 0) first = e;
      ElementEntry& parent = doc.Entry(innermost);
      uint32_t previous = e;  // a first child's link to the last sibling: itself
      uint32_t flags = FirstChildFlag;
      if (parent.firstChild == 0) {
        parent.firstChild = e;
      } else {
        ElementEntry& firstSibling = doc.Entry(parent.firstChild);
        previous = firstSibling.prevSibling;
        doc.Entry(previous).nextSibling = e;
        firstSibling.prevSibling = e;
        flags = 0;
      }
      const uint32_t level = (baseLevel + static_cast<uint32_t>(depth)) & LevelMask;
      doc.Entry(e) = ElementEntry{
          start, length, length & kStartTagMask, flags | level, innermost, 0, 0, previous};
      if (!empty) {
        ++depth;
        names.Store(depth, scanner.tokenStart, scanner.tokenEnd + 1 - scanner.tokenStart);
        innermost = e;
      }
    } else if (kind == NodeEndTag) {
      // The innermost open element of the end tag's name (the scanner's token) is closed,
      // or none.
      uint32_t m = innermost;
      int32_t d = depth;
      while (d > 0 && !SameName(scanner, names.At(t, d))) {
        m = doc.Entry(m).parent;
        --d;
      }
      if (d > 0) {
        closeElement(m, d, start, length, scanner.tokenStart);
      } else {
        doc.Entry(parseRoot).entryFlags |= IllFormed;
        doc.Entry(innermost).entryFlags |= ContentIllFormed;
        AddResult(doc.resultLog, WTEXT("lone_end_tag"), TokenText(scanner).c_str(), 0, start,
                  kNone);
      }
    }
  }
}

}  // namespace

uint32_t XmlDoc::ParseElements(uint32_t parseRoot, Scanner& scanner) {
  return ParseElementsWith<true>(*this, parseRoot, scanner);
}

uint32_t ParseElementsInGeneral(XmlDoc& doc, uint32_t parseRoot, Scanner& scanner) {
  return ParseElementsWith<false>(doc, parseRoot, scanner);
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
  entriesReleased = false;
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
