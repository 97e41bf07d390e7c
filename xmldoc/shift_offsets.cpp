// Index repair after a splice: one walk in document order from the edited element to the
// end of the document, iterative so that deep nesting costs no stack. Every attribute write
// of a fill runs it over the rest of the document, so each step is kept to the loads the
// links need: within one page an entry is found without going through the page table.

#include <algorithm>

#include "xmldoc/xml_doc.h"

namespace {

template <typename At>
void Walk(At at, uint32_t e, uint32_t shift, bool skipDescendants) {
  uint32_t limit = at(e).parent;  // the nearest ancestor whose length is still to grow
  const ElementEntry* current = &at(e);
  // The entry moved last. After a parse entries lie in document order, so the next one to
  // move is usually the slot after it: reaching it by address instead of through the loaded
  // link keeps the walk from waiting on each load. The link still decides where it goes.
  ElementEntry* moved = &at(e);
  uint32_t movedIndex = e;
  bool descend = !skipDescendants;
  for (;;) {
    if (descend) {
      // A run of childless entries each followed by its sibling in the next slot, the
      // common shape of a parsed document's leaves, moves without the general step.
      while (moved->firstChild == 0 && moved->nextSibling == movedIndex + 1 &&
             ((movedIndex + 1) & (kPageEntries - 1)) != 0) {
        ++moved;
        ++movedIndex;
        moved->start += shift;
        if (moved->StartTagLength() == 0) return;
      }
      current = moved;
    }
    uint32_t next;
    if (descend && current->firstChild != 0) {
      next = current->firstChild;
    } else {
      // The next sibling of the entry or of the nearest ancestor below the limit that has
      // one; reaching the limit means every entry inside it has moved.
      while (current->nextSibling == 0) {
        next = current->parent;
        if (next == limit) break;
        current = &at(next);
      }
      if (current->nextSibling == 0) {
        ElementEntry& ancestor = at(limit);
        ancestor.length += shift;
        // Entry 0 ends every walk; the temporary root of an insertion ends walks inside it.
        if (ancestor.StartTagLength() == 0) return;
        limit = ancestor.parent;
        current = &ancestor;
        descend = false;  // its children before the edit point were passed already
        continue;
      }
      next = current->nextSibling;
    }
    if (next == movedIndex + 1 && (next & (kPageEntries - 1)) != 0) [[likely]] {
      ++moved;
    } else {
      moved = &at(next);
    }
    movedIndex = next;
    moved->start += shift;
    if (moved->StartTagLength() == 0) return;
    current = moved;
    descend = true;
  }
}

}  // namespace

void XmlDoc::ShiftInIndexOrder(uint32_t e, uint32_t shift, bool skipDescendants) {
  // The first entry the walk would move: the one after e, or after e's subtree, which is
  // the next sibling of e or of its nearest ancestor that has one.
  uint32_t from = e + 1;
  if (skipDescendants) {
    uint32_t c = e;
    while (c != 0 && Entry(c).nextSibling == 0) c = Entry(c).parent;
    from = c != 0 ? Entry(c).nextSibling : static_cast<uint32_t>(nextFreeEntry);
  }
  const uint32_t end = static_cast<uint32_t>(nextFreeEntry);
  ElementEntry* const* const pages = elementIndex->pages;
  while (from < end) {
    const uint32_t pageBase = from & ~uint32_t(kPageEntries - 1);
    ElementEntry* const page = pages[from >> kPageShift];
    const uint32_t stop = std::min(end, pageBase + kPageEntries);
    if (entriesReleased) {
      for (uint32_t i = from - pageBase; i < stop - pageBase; ++i) {
        // A removed element keeps its slot; the walk never reaches it, so neither does this.
        if ((page[i].entryFlags & Released) == 0) page[i].start += shift;
      }
    } else {
      // Every write of a fill comes here: a bare run over the slots, four at a time, so
      // that the loop's own count and test are paid once per four entries.
      ElementEntry* slot = page + (from - pageBase);
      ElementEntry* const last = page + (stop - pageBase);
      for (; last - slot >= 4; slot += 4) {
        slot[0].start += shift;
        slot[1].start += shift;
        slot[2].start += shift;
        slot[3].start += shift;
      }
      for (; slot != last; ++slot) slot->start += shift;
    }
    from = stop;
  }
  for (uint32_t a = Entry(e).parent;; a = Entry(a).parent) {
    Entry(a).length += shift;
    if (a == 0) break;
  }
}

void XmlDoc::ShiftOffsets(uint32_t e, int32_t delta, bool skipDescendants) {
  // Entry 0 and the temporary root of an insertion have no start tag: nothing follows them.
  if (Entry(e).StartTagLength() == 0) return;
  const uint32_t shift = static_cast<uint32_t>(delta);  // wraps like the signed sum
  if (entriesInOrder) {
    ShiftInIndexOrder(e, shift, skipDescendants);
    return;
  }
  // No step of the walk allocates, so the pages stay where they are.
  ElementEntry* const* const pages = elementIndex->pages;
  if (elementIndex->capacity <= kPageEntries) {
    ElementEntry* const page = pages[0];
    Walk([page](uint32_t i) -> ElementEntry& { return page[i]; }, e, shift, skipDescendants);
  } else {
    Walk(
        [pages](uint32_t i) -> ElementEntry& {
          return pages[i >> kPageShift][i & (kPageEntries - 1)];
        },
        e, shift, skipDescendants);
  }
}
