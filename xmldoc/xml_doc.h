#pragma once
// An XML (or loosely HTML-like) document held as one wide string plus an index of where
// every element lies in it. Move-only; the index and its pages are released with it, and a
// document that was moved from may only be assigned to or destroyed.

#include <cstdint>
#include <memory>

#include "provider/text.h"
#include "xmldoc/element_index.h"
#include "xmldoc/scanner.h"

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

  // An empty document, as after ParseText with no text: storage for 8 entries, entry 0
  // zeroed, nextFreeEntry 1, all positions 0.
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
  uint32_t AllocateEntry() {
    if (nextFreeEntry == elementIndex->capacity) GrowFullIndex();
    return static_cast<uint32_t>(nextFreeEntry++);
  }

  // Parsing. Every deviation becomes a record in resultLog and a mark on the entries.

  // Replaces the text with a copy of `source` (none: empty text and no index storage), clears
  // resultLog and parses; returns ParseDocument's verdict.
  bool ParseText(const WChar* source);
  // Rebuilds the index from the current text; true when it is well-formed with one root.
  bool ParseDocument();
  // Parses the scanner's text from offset 0 and links the elements found under `parseRoot`,
  // handing out new entries; returns the first entry created, 0 if none.
  uint32_t ParseElements(uint32_t parseRoot, Scanner& scanner);

  // Navigation. Names compare in place; no search builds a string per element.

  // The next child of `parent` after `after` (its first child when `after` is 0) whose tag
  // name matches `path`; 0 when there is none.
  uint32_t FindSibling(uint32_t parent, uint32_t after, const WChar* path) const;
  // Moves mainPos to the next matching element at the current level; false leaves all as is.
  bool FindElement(const WChar* name);
  // Moves childPos to the next matching child of mainPos (the first element at the current
  // level becomes mainPos first when there is none); false when no child matches.
  bool FindChildElement(const WChar* name);
  // Descends: the current child becomes the current element.
  void EnterElement();
  // Ascends: the parent becomes the current element again.
  void LeaveElement();
  // Back to the document level: all positions 0.
  void ResetPosition();

  // Reads. Each returns a new string, empty when there is nothing to read.

  // Unescaped value of attribute `name` of mainPos (the name itself for one without value).
  WString ReadAttribute(const WChar* name) const;
  // The same for childPos.
  WString ReadChildAttribute(const WChar* name) const;
  // Tag name of the element at entry `pos`.
  WString ElementName(uint32_t pos) const;
  // Markup of mainPos, children included, plus the white space after it when that runs up
  // to a "<" or the end of the text.
  WString ElementMarkup() const;
  // A copy of the whole text.
  WString DocumentText() const;

 private:
  // The growth rule of a full index: half again its size.
  void GrowFullIndex();
  WString ReadAttributeAt(uint32_t pos, const WChar* name) const;
};
