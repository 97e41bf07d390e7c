// Index repair after a splice: one walk in document order from the edited element to the
// end of the document, iterative so that deep nesting costs no stack.

#include "xmldoc/xml_doc.h"

void XmlDoc::ShiftOffsets(uint32_t e, int32_t delta, bool skipDescendants) {
  // Entry 0 and the temporary root of an insertion have no start tag: nothing follows them.
  if (Entry(e).StartTagLength() == 0) return;
  const uint32_t shift = static_cast<uint32_t>(delta);  // wraps like the signed sum
  uint32_t current = e;
  uint32_t limit = Entry(e).parent;  // the nearest ancestor whose length is still to grow
  bool descend = !skipDescendants;
  for (;;) {
    const ElementEntry& at = Entry(current);
    uint32_t next;
    if (descend && at.firstChild != 0) {
      next = at.firstChild;
    } else {
      // The next sibling of the entry or of the nearest ancestor below the limit that has one;
      // reaching the limit means every entry inside it has moved.
      next = current;
      while (next != limit && Entry(next).nextSibling == 0) next = Entry(next).parent;
      if (next != limit) next = Entry(next).nextSibling;
    }
    ElementEntry& entry = Entry(next);
    if (next == limit) {
      entry.length += shift;
      limit = entry.parent;
      descend = false;  // its children before the edit point were passed already
    } else {
      entry.start += shift;
      descend = true;
    }
    if (entry.StartTagLength() == 0) return;
    current = next;
  }
}
