#pragma once
// An XML (or loosely HTML-like) document held as one wide string plus an index of where
// every element lies in it. Move-only; the index and its pages are released with it.

#include <cstdint>
#include <memory>

#include "provider/text.h"
#include "xmldoc/element_index.h"

class XmlDoc {
 public:
  WString text;               // the whole document; offsets count UTF-16 units from its start
  WString resultLog;          // records left by the last parse or load
  uint32_t parentPos = 0;     // entry whose children are walked; 0 = document level
  uint32_t mainPos = 0;       // current element; 0 = none
  uint32_t childPos = 0;      // current child of mainPos; 0 = none
  int32_t nextFreeEntry = 0;  // index the next new entry receives
  uint32_t nodeKind = 0;      // 1 when mainPos names an element, else 0
  uint32_t flags = 0;         // document flags; bit 0x8 makes names compare without case
  std::unique_ptr<ElementIndex> elementIndex;

  // An empty document: no text, storage for 8 entries, entry 0 zeroed, all positions 0.
  XmlDoc();
  XmlDoc(XmlDoc&&) noexcept = default;
  XmlDoc& operator=(XmlDoc&&) noexcept = default;
  XmlDoc(const XmlDoc&) = delete;
  XmlDoc& operator=(const XmlDoc&) = delete;
  ~XmlDoc() = default;

  // The entry at `index` (below the index's capacity). Valid until the next AllocateEntry.
  ElementEntry& Entry(uint32_t index) { return (*elementIndex)[index]; }
  const ElementEntry& Entry(uint32_t index) const { return (*elementIndex)[index]; }

  // Hands out nextFreeEntry, growing the index by half when it is full; the caller
  // initialises all eight words of the new entry.
  uint32_t AllocateEntry();
};
