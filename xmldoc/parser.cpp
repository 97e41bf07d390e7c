#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

#include "xmldoc/common_nodes.h"
#include "xmldoc/parser.h"
#include "xmldoc/result_log.h"
#include "xmldoc/unit_search.h"
#include "xmldoc/xml_doc.h"

namespace {

using common_nodes::CommonNode;
using common_nodes::EndsName;
using common_nodes::FindNameEnd;
using common_nodes::IsSpace;
using common_nodes::ScanCommonNode;
using common_nodes::ScanShortStartTag;
using common_nodes::ScanStartTag;
using common_nodes::StartsTagName;

constexpr uint32_t kNone = 0xFFFFFFFF;

// The loop over common nodes is a function of its own that makes no calls: its state then
// stays in registers, where in one function with the calls of the rarer paths the compiler
// keeps it in memory for the whole loop. GCC would also gather the fields of each new entry
// into vector registers to store them in two blocks, which measured slower than storing
// them one by one.
#if defined(__clang__)
#define VELMORA_OUT_OF_LINE __attribute__((noinline))
#elif defined(__GNUC__)
#define VELMORA_OUT_OF_LINE __attribute__((noinline, optimize("no-tree-slp-vectorize")))
#else
#define VELMORA_OUT_OF_LINE
#endif

// The tag names of the open elements, by depth from 1. A name is kept as the element that
// carries it (the name starts right after the element's "<" in the scanned text, which does
// not change during a parse) and its length, so opening an element copies nothing; and the
// element at one depth is the parent of the one above it, found without reading an entry.
class OpenElementStack {
 public:
  // Stores the name of `element`, opened at `depth`, doubling the slots when full.
  void Store(int32_t depth, uint32_t element, int32_t length) {
    if (depth >= capacity_) Grow();
    names_[depth] = {element, length};
  }
  uint32_t Element(int32_t depth) const { return names_[depth].element; }
  int32_t Length(int32_t depth) const { return names_[depth].length; }
  // The stored name at `depth` as a view into the scanned text `text`.
  WStringView At(const ElementIndex& index, const WChar* text, int32_t depth) const {
    return WStringView(text + index[Element(depth)].start + 1, static_cast<size_t>(Length(depth)));
  }

  // One slot: an element and the length of its name.
  struct Name {
    uint32_t element;
    int32_t length;
  };
  // The slots, indexed by depth, and their number; valid until the next Store.
  Name* Slots() { return names_.get(); }
  int32_t Capacity() const { return capacity_; }

 private:
  struct Release {
    void operator()(Name* names) const { std::free(names); }
  };
  // Whole-block storage (the slots are plain words) lets the doubling take place where the
  // block lies when there is room after it, and lets a large block be moved by remapping its
  // pages: a deep document's stack is then neither copied nor touched afresh at each step.
  static Name* Resize(Name* names, int32_t capacity) {
    void* grown = std::realloc(names, static_cast<size_t>(capacity) * sizeof(Name));
    if (grown == nullptr) throw std::bad_alloc();
    return static_cast<Name*>(grown);
  }
  void Grow() {
    const int32_t capacity = capacity_ * 2;
    Name* const grown = Resize(names_.get(), capacity);  // on failure the old block stays
    static_cast<void>(names_.release());
    names_.reset(grown);
    capacity_ = capacity;
  }
  int32_t capacity_ = 7;
  std::unique_ptr<Name[], Release> names_{Resize(nullptr, 7)};
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

// Whether the n units at `a` are those at `b`, which lies before `a` in the same text. The
// units at `b` are never zero, so the comparison fails at the terminator of `a`'s text at the
// latest; names of up to eight units are compared in one block where `a`'s block does not
// leave its page. `b`'s block then ends no later than `a`'s and covers only the text between
// them and `a`'s block.
VELMORA_WHOLE_BLOCK_READS bool SameUnits(const WChar* a, const WChar* b, int32_t n) {
#if defined(__SSE2__)
  constexpr uintptr_t kPageOffset = 4095;
  if (n <= 8 && (reinterpret_cast<uintptr_t>(a) & kPageOffset) <= 4096 - 16) {
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
  for (int32_t d = open.depth; d > targetDepth; --d) target = doc.StoredEntry(target).parent;
  doc.StoredEntry(parseRoot).entryFlags |= IllFormed;
  uint32_t previous = 0;  // the element closed just before, the last of U's own children
  while (open.depth > targetDepth) {
    const uint32_t u = open.innermost;
    ElementEntry& entry = doc.StoredEntry(u);
    const uint32_t parent = entry.parent;
    entry.SetEndTagLength(0);
    entry.entryFlags |= Unended;
    entry.length = entry.StartTagLength();
    if (entry.Has(ContentIllFormed)) {
      entry.entryFlags &= ~ContentIllFormed;
      doc.StoredEntry(parent).entryFlags |= ContentIllFormed;
    }
    if (const uint32_t firstChild = entry.firstChild) {
      const uint32_t lastChild = doc.StoredEntry(firstChild).prevSibling;
      // Only U's own children still need the new parent; those moved up from the element
      // closed before already carry it.
      for (uint32_t c = firstChild;; c = doc.StoredEntry(c).nextSibling) {
        doc.StoredEntry(c).parent = target;
        if (c == previous || doc.StoredEntry(c).nextSibling == 0) break;
      }
      ElementEntry& child = doc.StoredEntry(firstChild);
      child.entryFlags &= ~FirstChildFlag;
      child.prevSibling = u;
      entry.nextSibling = firstChild;  // U was its parent's last child
      entry.firstChild = 0;
      doc.StoredEntry(doc.StoredEntry(parent).firstChild).prevSibling = lastChild;
    }
    const WString name(names.At(*doc.elementIndex, t, open.depth));
    AddResult(doc.resultLog, WTEXT("unended_start_tag"), name.c_str(), 0, doc.StoredEntry(u).start,
              closingOffset);
    previous = u;
    open.innermost = parent;
    --open.depth;
  }
}

// The state of a parse that the loop over common nodes shares with the rest of it.
struct ParseState {
  int32_t p;            // the cursor
  int32_t depth;        // of the innermost open element; 0 for the parse root
  uint32_t innermost;   // the innermost open element
  ElementEntry* inner;  // its entry
  uint32_t nextFree;    // entries are handed out from `nextFree` up to `runEnd`, slots
  uint32_t runEnd;      // that have storage and lie in one page; the next one at `slot`
  ElementEntry* slot;
  int32_t shortTagEnd;  // where in its block the last short start tag's ">" was; kLongTag
                        // after a start tag too long for the block
};

// ParseState::shortTagEnd after a long start tag: the block is not tried for the next one.
inline constexpr int32_t kLongTag = 16;

// Reads start tags, end tags that close the innermost element and white space before a "<"
// from the cursor on, for as long as entries and stack slots are at hand; returns at any
// other node, or where a new entry or slot needs storage, leaving that node to the caller.
// The open elements are walked by a pointer to the innermost one's slot and the level kept
// as it is written, so that the loop's state fits in registers.
VELMORA_OUT_OF_LINE void ParseCommonNodes(const WChar* const t, ElementIndex& index,
                                          OpenElementStack& names, uint32_t parseRoot,
                                          uint32_t baseLevel, Scanner& scanner, ParseState& state) {
  using Name = OpenElementStack::Name;
  ElementEntry* const* const pages = index.pages;
  const auto at = [pages](uint32_t e) -> ElementEntry& {
    return pages[e >> kPageShift][e & (kPageEntries - 1)];
  };
  Name* const bottom = names.Slots();
  Name* const last = bottom + names.Capacity() - 1;
  int32_t p = state.p;
  Name* top = bottom + state.depth;
  bottom->element = parseRoot;  // the slot below depth 1 is otherwise unused
  uint32_t level = baseLevel + static_cast<uint32_t>(state.depth);
  ElementEntry* inner = state.inner;
  uint32_t nextFree = state.nextFree;
  const uint32_t runEnd = state.runEnd;
  ElementEntry* slot = state.slot;
  int32_t shortTagEnd = state.shortTagEnd;
  int32_t lastTag = -1;  // the last tag read, whose name becomes the scanner's token
  for (;;) {
    if (t[p] != '<') {
      if (!IsSpace(t[p])) break;
      int32_t q = p + 1;
      while (IsSpace(t[q])) ++q;  // short runs between tags: one by one
      if (t[q] != '<') break;
      p = q;
    }
    const WChar c = t[p + 1];
    if (c == '/') {
      // Nearly every end tag closes the innermost element: its name is the stored one,
      // followed by a unit that ends a name.
      if (top == bottom) break;
      const int32_t nameStart = p + 2;
      const int32_t nameEnd = nameStart + top->length;
      if (!SameUnits(t + nameStart, t + inner->start + 1, top->length)) break;
      int32_t q = nameEnd;
      if (t[q] != '>') {
        if (!EndsName(t[q])) break;
        q = common_nodes::FindTagEnd(t, q);
        if (t[q] == 0) break;
      }
      // An end tag too long for its 10 bits is kept beside the index by the general path.
      if (q + 1 - p > static_cast<int32_t>(kEndTagMask)) break;
      lastTag = p;
      // The innermost element is closed: none above it to repair, and the end-tag part of
      // an open element's tag lengths is still 0. The parent comes from the stack rather
      // than from the closed entry, so that closing one element after another is not a
      // chain of loads, each waiting for the one before.
      inner->length = static_cast<uint32_t>(q + 1) - inner->start;
      inner->tagLengths |= (static_cast<uint32_t>(q + 1 - p) & kEndTagMask) << kEndTagShift;
      --top;
      --level;
      inner = &at(top->element);
      p = q + 1;
      continue;
    }
    if (!StartsTagName(c) || nextFree == runEnd) break;
    // Documents repeat their shapes: the block read is tried while start tags are short.
    CommonNode found;
    if (shortTagEnd == kLongTag || !ScanShortStartTag(t, p, shortTagEnd, found)) {
      found = ScanStartTag(t, p);
      // A start tag too long for the index is the general path's to refuse.
      if (found.kind != NodeElement || found.end - p > static_cast<int32_t>(kLongestStartTag)) {
        break;
      }
      shortTagEnd = found.end - p <= 17 ? found.end - p - 2 : kLongTag;
    }
    if (!found.empty && top == last) break;
    lastTag = p;
    // A new entry, the last child of the innermost open element, which it replaces unless
    // the tag was empty.
    const uint32_t e = nextFree++;
    ElementEntry* const entry = slot++;
    uint32_t previous = e;  // a first child's link to the last sibling: itself
    uint32_t flags = FirstChildFlag;
    if (inner->firstChild == 0) {
      inner->firstChild = e;
    } else {
      ElementEntry& firstSibling = at(inner->firstChild);
      previous = firstSibling.prevSibling;
      at(previous).nextSibling = e;
      firstSibling.prevSibling = e;
      flags = 0;
    }
    const auto start = static_cast<uint32_t>(p);
    const auto length = static_cast<uint32_t>(found.end - p);
    *entry = ElementEntry{
        start, length,  length & kStartTagMask, flags | (level & LevelMask), top->element, 0,
        0,     previous};
    if (!found.empty) {
      ++top;
      ++level;
      *top = Name{e, found.nameEnd - p - 1};
      inner = entry;
    }
    p = found.end;
  }
  if (lastTag >= 0) {
    // An end tag's element was the one above the innermost; a start tag's name ends where
    // both readings of start tags end it.
    const bool endTag = t[lastTag + 1] == '/';
    scanner.tokenStart = lastTag + (endTag ? 2 : 1);
    scanner.tokenEnd = (endTag ? lastTag + 2 + top[1].length : FindNameEnd(t, lastTag + 2)) - 1;
  }
  state = ParseState{
      p,          static_cast<int32_t>(top - bottom), top->element, inner, nextFree, runEnd, slot,
      shortTagEnd};
}

// ParseElements, with the common nodes read by ParseCommonNodes or every node by the general
// machine alone. Both must build exactly the same entries and records.
template <bool kCommonNodesInline>
uint32_t ParseElementsWith(XmlDoc& doc, uint32_t parseRoot, Scanner& scanner) {
  const WChar* const t = scanner.text;
  ElementIndex& index = *doc.elementIndex;
  const uint32_t baseLevel = index[parseRoot].Level();
  OpenElementStack names;
  NodeToken node;
  // The first entry of a parse, the first of each page and growth go through AllocateEntry,
  // which keeps the growth rule; the last page may move then, so the innermost element's
  // address is taken again. The first entry of the parse is the one that was next when it
  // began.
  const auto firstFree = static_cast<uint32_t>(doc.nextFreeEntry);
  ParseState s{0, 0, parseRoot, &index[parseRoot], firstFree, firstFree, nullptr, 15};

  // A start tag of `length` units at `start` whose name ends at `nameEnd`: a new entry, the
  // last child of the innermost open element, which it replaces unless the tag was empty.
  auto openElement = [&](uint32_t start, uint32_t length, bool empty, int32_t nameEnd) {
    if (s.nextFree == s.runEnd) {
      doc.nextFreeEntry = static_cast<int32_t>(s.nextFree);
      s.nextFree = doc.AllocateEntry();
      s.slot = &index[s.nextFree];
      const uint32_t pageEnd = (s.nextFree | (kPageEntries - 1)) + 1;
      s.runEnd = std::min(pageEnd, static_cast<uint32_t>(index.capacity));
      s.inner = &index[s.innermost];
    }
    const uint32_t e = s.nextFree++;
    ElementEntry* const entry = s.slot++;
    uint32_t previous = e;  // a first child's link to the last sibling: itself
    uint32_t flags = FirstChildFlag;
    if (s.inner->firstChild == 0) {
      s.inner->firstChild = e;
    } else {
      ElementEntry& firstSibling = index[s.inner->firstChild];
      previous = firstSibling.prevSibling;
      index[previous].nextSibling = e;
      firstSibling.prevSibling = e;
      flags = 0;
    }
    const uint32_t level = (baseLevel + static_cast<uint32_t>(s.depth)) & LevelMask;
    *entry = ElementEntry{start, length,  length & kStartTagMask, flags | level, s.innermost, 0,
                          0,     previous};
    if (!empty) {
      ++s.depth;
      names.Store(s.depth, e, nameEnd - static_cast<int32_t>(start) - 1);
      s.innermost = e;
      s.inner = entry;
    }
  };

  // An end tag of `length` units at `start` closes open element m at depth d; the ones above
  // it were never ended. `nameStart` is the end tag's name.
  auto closeElement = [&](uint32_t m, int32_t d, uint32_t start, uint32_t length,
                          int32_t nameStart) {
    ElementEntry& closed = index[m];
    closed.length = start + length - closed.start;
    doc.SetEndTagLength(m, length);
    if (d < s.depth) {
      OpenElements open{s.innermost, s.depth};
      CloseUnended(doc, parseRoot, names, t, open, d, static_cast<uint32_t>(nameStart - 1));
    }
    s.innermost = d > 1 ? names.Element(d - 1) : parseRoot;
    s.inner = &index[s.innermost];
    s.depth = d - 1;
  };

  for (;;) {
    int32_t kind = NodeError;
    uint32_t start = 0;
    uint32_t length = 0;
    bool empty = false;
    if constexpr (kCommonNodesInline) {
      ParseCommonNodes(t, index, names, parseRoot, baseLevel, scanner, s);
      const CommonNode found = ScanCommonNode(t, s.p);
      if (found.kind == NodeWhitespace) {
        s.p = found.end;
        continue;
      }
      if (found.kind != NodeError) {
        kind = found.kind;
        scanner.tokenStart = found.nameStart;
        scanner.tokenEnd = found.nameEnd - 1;
        start = static_cast<uint32_t>(s.p);
        length = static_cast<uint32_t>(found.end - s.p);
        empty = found.empty;
        s.p = found.end;
      }
    }
    if (kind == NodeError) {
      scanner.cursor = s.p;
      kind = ScanNodeInGeneral(scanner, node);
      s.p = scanner.cursor;
      start = node.start;
      length = node.length;
      empty = (node.nodeFlags & EmptyElement) != 0;
      if (kind == NodeError) {
        index[parseRoot].entryFlags |= IllFormed;
        s.inner->entryFlags |= ContentIllFormed;
        doc.resultLog += node.records;
        continue;
      }
      if (kind == NodeEndOfText) {
        if (s.depth > 0) {
          OpenElements open{s.innermost, s.depth};
          CloseUnended(doc, parseRoot, names, t, open, 0, static_cast<uint32_t>(s.p));
        }
        doc.nextFreeEntry = static_cast<int32_t>(s.nextFree);
        return s.nextFree != firstFree ? firstFree : 0;
      }
    }

    if (kind == NodeElement) {
      if (length <= kLongestStartTag) [[likely]] {
        openElement(start, length, empty, scanner.tokenEnd + 1);
      } else {
        // Its length does not fit its entry: the tag is an error, as one that cannot be read
        // is, and what follows is read as if it were not there.
        index[parseRoot].entryFlags |= IllFormed;
        s.inner->entryFlags |= ContentIllFormed;
        doc.RefuseAtLimit(WTEXT("start_tag_too_long"), start, size_t(start) + length);
      }
    } else if (kind == NodeEndTag) {
      // The innermost open element of the end tag's name (the scanner's token) is closed,
      // or none.
      uint32_t m = s.innermost;
      int32_t d = s.depth;
      while (d > 0 && !SameName(scanner, names.At(index, t, d))) {
        m = index[m].parent;
        --d;
      }
      if (d > 0) {
        closeElement(m, d, start, length, scanner.tokenStart);
      } else {
        index[parseRoot].entryFlags |= IllFormed;
        s.inner->entryFlags |= ContentIllFormed;
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
  CloseGap();  // the parse reads the text whole
  parentPos = mainPos = childPos = nodeKind = 0;
  nextFreeEntry = 1;
  // Every start the parse writes is current.
  pendingEntry = 0;
  pendingFrom = UINT32_MAX;
  longEndTags.clear();
  metLimit = false;
  const int32_t wanted = static_cast<int32_t>(std::min(text.size(), kLongestText) / 64 + 8);
  if (elementIndex->capacity < wanted) ReserveEntries(*elementIndex, wanted);
  StoredEntry(0) = ElementEntry{};
  if (text.size() > kLongestText) [[unlikely]] {
    // Nothing past the limit could be read; none of it is indexed.
    StoredEntry(0).entryFlags = IllFormed;
    return RefuseAtLimit(WTEXT("text_too_long"), kLongestText, kNone);
  }

  if (text.size() != 0) {
    Scanner scanner;
    scanner.text = text.data();
    scanner.scanFlags = flags;
    const uint32_t first = ParseElements(0, scanner);
    StoredEntry(0).length = static_cast<uint32_t>(text.size());
    if (first >= 1) {
      StoredEntry(0).firstChild = first;
      if (Entry(first).nextSibling != 0) {
        AddResult(resultLog, WTEXT("root_has_sibling"), nullptr, 0, kNone, kNone);
      }
    } else {
      AddResult(resultLog, WTEXT("no_root_element"), nullptr, 0, kNone, kNone);
    }
  }

  parentPos = mainPos = childPos = nodeKind = 0;
  const ElementEntry& root = Entry(0);
  return !root.Has(IllFormed) && root.firstChild != 0 && Entry(root.firstChild).nextSibling == 0;
}

bool XmlDoc::ParseText(const WChar* source) {
  if (source == nullptr) {
    TextBuffer().swap(text);
    gapStart = gapLength = 0;
    ClearEntries(*elementIndex);
  } else {
    // The terminator is found several units at a time; templates run to kilobytes.
    const auto n = static_cast<size_t>(FindUnit(source, 0, 0, 0));
    LoadText(source, n, n / 2 + 128);
  }
  resultLog.clear();
  return ParseDocument();
}
