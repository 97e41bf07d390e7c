#include "xmldoc/index_check.h"

#include <vector>

#include "xmldoc/xml_doc.h"

namespace {

constexpr uint32_t kKnownFlags =
    LevelMask | Released | FirstChildFlag | Unended | ContentIllFormed | IllFormed;

std::string At(uint32_t e, const char* what) { return "entry " + std::to_string(e) + ": " + what; }

class IndexChecker {
 public:
  explicit IndexChecker(const XmlDoc& doc)
      : doc_(doc), count_(static_cast<uint32_t>(doc.nextFreeEntry)), seen_(count_, false) {}

  std::string Run() {
    if (doc_.nextFreeEntry < 1 || doc_.nextFreeEntry > doc_.elementIndex->capacity) {
      return "nextFreeEntry outside 1..capacity";
    }
    const ElementEntry& root = doc_.Entry(0);
    if (root.start != 0 || root.tagLengths != 0 || root.parent != 0 || root.nextSibling != 0 ||
        root.prevSibling != 0 || root.Level() != 0) {
      return At(0, "document entry has stray words");
    }
    if (root.length != doc_.TextLength()) {
      return At(0, "length differs from the text");
    }
    seen_[0] = true;
    // Preorder walk over the links: each parent's child list is checked before the walk
    // descends into it, so a broken link is reported before it could mislead the walk.
    // The walk also sees that the entries stored in pending form are exactly those from the
    // first pending one on: an entry on the wrong side would read right now and wrong once
    // the pending move goes past it.
    const uint32_t firstPending = doc_.FirstPendingEntry();
    bool pending = false;
    uint32_t p = 0;
    for (;;) {
      pending = pending || (p != 0 && p == firstPending);
      if (p != 0 && doc_.IsPending(p) != pending) {
        return At(p, pending ? "its move is pending but it is not stored so"
                             : "stored as pending before the first pending entry");
      }
      if (std::string error = CheckChildren(p); !error.empty()) return error;
      const ElementEntry& e = doc_.Entry(p);
      if (e.firstChild != 0) {
        p = e.firstChild;
        continue;
      }
      while (p != 0 && doc_.Entry(p).nextSibling == 0) p = doc_.Entry(p).parent;
      if (p == 0) break;
      p = doc_.Entry(p).nextSibling;
    }
    if (firstPending != 0 && !pending) return At(firstPending, "first pending entry not linked");
    for (uint32_t e = 1; e < count_; ++e) {
      if (!seen_[e] && doc_.Entry(e).entryFlags != Released) {
        return At(e, "handed out but neither linked nor released");
      }
    }
    return std::string();
  }

 private:
  bool Valid(uint32_t e) const { return e < count_; }

  std::string CheckEntry(uint32_t e) const {
    const ElementEntry& x = doc_.Entry(e);
    const size_t size = doc_.TextLength();
    if (x.entryFlags & ~kKnownFlags) return At(e, "unknown flag bits");
    if (x.Has(Released)) return At(e, "released entry still linked");
    if (x.start >= size || x.length > size - x.start) return At(e, "markup outside the text");
    if (doc_.TextUnit(x.start) != '<') return At(e, "start is not at a \"<\"");
    const uint32_t startTag = x.StartTagLength();
    if (startTag < 2 || startTag > x.length) return At(e, "start tag longer than the element");
    if (doc_.TextUnit(x.start + x.length - 1) != '>') return At(e, "markup does not end at \">\"");
    if (doc_.TextUnit(x.start + startTag - 1) != '>') {
      return At(e, "start tag does not end at \">\"");
    }
    const uint32_t endTag = doc_.EndTagLength(e);
    if ((endTag & kEndTagMask) != x.EndTagLength()) return At(e, "kept end tag disagrees");
    if (endTag > x.length - startTag) return At(e, "end tag longer than the rest");
    if (x.Has(Unended) && (endTag != 0 || x.firstChild != 0 || x.length != startTag)) {
      return At(e, "unended element with an end tag or children");
    }
    if (!x.Has(Unended) && x.length > startTag) {
      const size_t endTagStart = size_t(x.start) + x.length - endTag;
      if (endTag < 3 || doc_.TextUnit(endTagStart) != '<' ||
          doc_.TextUnit(endTagStart + 1) != '/') {
        return At(e, "end tag does not start at \"</\"");
      }
    }
    return std::string();
  }

  std::string CheckChildren(uint32_t p) {
    const ElementEntry& parent = doc_.Entry(p);
    const uint32_t first = parent.firstChild;
    if (first == 0) return std::string();
    if (!Valid(first)) return At(p, "firstChild out of range");
    const uint32_t last = doc_.Entry(first).prevSibling;
    if (!Valid(last) || last == 0) return At(first, "last-sibling link out of range");
    uint64_t previousEnd = p == 0 ? 0 : uint64_t(parent.start) + parent.StartTagLength();
    const uint64_t parentEnd = uint64_t(parent.start) + parent.length;
    uint32_t before = 0;
    for (uint32_t c = first; c != 0;) {
      if (!Valid(c)) return At(before, "nextSibling out of range");
      if (seen_[c]) return At(c, "reached twice");
      seen_[c] = true;
      if (std::string error = CheckEntry(c); !error.empty()) return error;
      const ElementEntry& child = doc_.Entry(c);
      if (child.parent != p) return At(c, "parent link does not name its parent");
      if (child.Has(FirstChildFlag) != (c == first)) return At(c, "FirstChildFlag misplaced");
      if (c != first && child.prevSibling != before) return At(c, "prevSibling not predecessor");
      // Children moved up from an unended element keep their deeper level, and levels wrap
      // at 16 bits, so a child's level only has to differ from its parent's.
      if (p != 0 && child.Level() == parent.Level()) return At(c, "level equal to its parent's");
      if (child.start < previousEnd) return At(c, "overlaps its parent's tag or predecessor");
      if (p != 0 && uint64_t(child.start) + child.length > parentEnd) {
        return At(c, "reaches outside its parent");
      }
      previousEnd = uint64_t(child.start) + child.length;
      before = c;
      c = child.nextSibling;
    }
    if (before != last) return At(first, "last-sibling link does not name the last child");
    return std::string();
  }

  const XmlDoc& doc_;
  uint32_t count_;
  std::vector<bool> seen_;
};

}  // namespace

std::string CheckElementIndex(const XmlDoc& doc) { return IndexChecker(doc).Run(); }
