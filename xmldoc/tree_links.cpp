// The sibling links of the index: a first child carries FirstChildFlag and its prevSibling
// names the last child, so appending and unlinking never walk a sibling chain.

#include "xmldoc/xml_doc.h"

void XmlDoc::LinkEntry(uint32_t parent, uint32_t after, uint32_t e) {
  StoredEntry(e).parent = parent;
  if (after != 0) {
    ElementEntry& entry = StoredEntry(e);
    ElementEntry& previous = StoredEntry(after);
    entry.entryFlags &= ~FirstChildFlag;
    entry.nextSibling = previous.nextSibling;
    if (entry.nextSibling != 0) {
      StoredEntry(entry.nextSibling).prevSibling = e;
    } else {
      StoredEntry(StoredEntry(parent).firstChild).prevSibling = e;
    }
    previous.nextSibling = e;
    entry.prevSibling = after;
  } else {
    ElementEntry& entry = StoredEntry(e);
    ElementEntry& p = StoredEntry(parent);
    entry.entryFlags |= FirstChildFlag;
    if (p.firstChild != 0) {
      ElementEntry& first = StoredEntry(p.firstChild);
      entry.nextSibling = p.firstChild;
      entry.prevSibling = first.prevSibling;
      first.prevSibling = e;
      first.entryFlags &= ~FirstChildFlag;
    } else {
      entry.prevSibling = e;
      entry.nextSibling = 0;
    }
    p.firstChild = e;
  }
  // At the document level the level stays what it was: 0, as a parse gives it.
  if (parent != 0) StoredEntry(e).SetLevel(StoredEntry(parent).Level() + 1);
}

uint32_t XmlDoc::UnlinkEntry(uint32_t e) {
  const ElementEntry& entry = StoredEntry(e);
  ElementEntry& parent = StoredEntry(entry.parent);
  uint32_t previous = 0;
  if (entry.Has(FirstChildFlag)) {
    if (entry.nextSibling != 0) {
      ElementEntry& next = StoredEntry(entry.nextSibling);
      parent.firstChild = entry.nextSibling;
      next.prevSibling = entry.prevSibling;
      next.entryFlags |= FirstChildFlag;
    } else {
      parent.firstChild = 0;
    }
  } else {
    previous = entry.prevSibling;
    StoredEntry(previous).nextSibling = entry.nextSibling;
    if (entry.nextSibling != 0) {
      StoredEntry(entry.nextSibling).prevSibling = previous;
    } else {
      StoredEntry(parent.firstChild).prevSibling = previous;
    }
  }
  ReleaseSubtree(e);
  return previous;
}

void XmlDoc::ReleaseSubtree(uint32_t e) {
  // Preorder over the links without recursion, so that nesting depth costs no stack. The
  // links stay as they were; only the flags word changes, which the walk does not read.
  uint32_t current = e;
  for (;;) {
    ElementEntry& entry = StoredEntry(current);
    entry.entryFlags = Released;
    if (entry.firstChild != 0) {
      current = entry.firstChild;
      continue;
    }
    while (current != e && StoredEntry(current).nextSibling == 0)
      current = StoredEntry(current).parent;
    if (current == e) return;
    current = StoredEntry(current).nextSibling;
  }
}
