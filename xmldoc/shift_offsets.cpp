// Index repair after a splice. The ancestors of the edit grow at once; the entries after it
// move by a pending width that the next edits carry forward, so that a fill, which edits
// from the start of the document to its end, moves each entry about once in all instead of
// walking to the end of the document at every write. The walks are iterative, so that deep
// nesting costs no stack.

#include "xmldoc/xml_doc.h"

namespace {

// The width a new pending move starts from: pending starts then lie above every start as
// it is (below 2^30 units) and below 2^32, while the edits since add or cut less than 2^30.
constexpr uint32_t kPendingWidth = uint32_t{1} << 31;
constexpr size_t kPendingTextLimit = size_t{1} << 30;

}  // namespace

uint32_t XmlDoc::NextEntry(uint32_t e, uint32_t top, bool skipDescendants) const {
  if (!skipDescendants && StoredEntry(e).firstChild != 0) return StoredEntry(e).firstChild;
  for (uint32_t x = e; x != top; x = StoredEntry(x).parent) {
    if (StoredEntry(x).nextSibling != 0) return StoredEntry(x).nextSibling;
  }
  return 0;
}

void XmlDoc::ConvertEntries(uint32_t from, uint32_t to, bool pending) {
  const uint32_t width = pendingWidth;
  const uint32_t threshold = pendingFrom;
  // The walk ends at the end of the document at the latest, whatever `to` is.
  for (uint32_t x = from; x != to && x != 0; x = NextEntry(x, 0, false)) {
    uint32_t& start = StoredEntry(x).start;
    if ((start >= threshold) != pending) start += pending ? width : 0 - width;
  }
}

void XmlDoc::MovePendingShift(uint32_t e) {
  if (e == pendingEntry) return;
  if (pendingEntry == 0) {
    pendingWidth = kPendingWidth;
    ConvertEntries(e, 0, true);
  } else if (e == 0 || StoredEntry(e).start >= pendingFrom) {
    // Forward: `e` comes after the first pending entry; the ones before it catch up.
    ConvertEntries(pendingEntry, e, false);
  } else {
    // Backward: the entries from `e` up to the first pending one join the pending move.
    ConvertEntries(e, pendingEntry, true);
  }
  pendingEntry = e;
  pendingFrom = e != 0 ? StoredEntry(e).start : UINT32_MAX;
}

void XmlDoc::SettleLongText() {
  if (TextLength() >= kPendingTextLimit) MovePendingShift(0);
}

void XmlDoc::ShiftOffsets(uint32_t e, int32_t delta, bool skipDescendants) {
  // Entry 0 and the temporary root of an insertion have no start tag: nothing follows them.
  if (StoredEntry(e).StartTagLength() == 0) return;
  const uint32_t shift = static_cast<uint32_t>(delta);  // wraps like the signed sum
  // Every ancestor grows, up to the first without a start tag: entry 0, or the temporary
  // root of the markup being inserted.
  uint32_t top = StoredEntry(e).parent;
  for (;;) {
    ElementEntry& ancestor = StoredEntry(top);
    ancestor.length += shift;
    if (ancestor.StartTagLength() == 0) break;
    top = ancestor.parent;
  }
  const uint32_t next = NextEntry(e, top, skipDescendants);
  if (top == 0 && TextLength() < kPendingTextLimit) {
    MovePendingShift(next);
    pendingWidth -= shift;
    return;
  }
  // The elements of markup being inserted, or the rest of a text too long for pending
  // starts, move at once.
  if (top == 0) MovePendingShift(0);
  for (uint32_t x = next; x != 0; x = NextEntry(x, top, false)) StoredEntry(x).start += shift;
}
