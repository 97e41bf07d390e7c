#pragma once
// The element index of a document: fixed-size entries in pages that never move, so that an
// entry index stays valid for as long as the document is not parsed again.

#include <cstdint>

// State bits of ElementEntry::entryFlags; the low 16 bits hold the level.
enum EntryFlag : uint32_t {
  LevelMask = 0xFFFF,
  Released = 0x20000,
  FirstChildFlag = 0x80000,
  Unended = 0x100000,
  ContentIllFormed = 0x200000,
  IllFormed = 0x800000,
};

// Bit layout of ElementEntry::tagLengths: start tag in bits 0-21, end tag in bits 22-31.
inline constexpr uint32_t kStartTagMask = 0x3FFFFF;
inline constexpr uint32_t kEndTagShift = 22;
inline constexpr uint32_t kEndTagMask = 0x3FF;

// How wide each word of an entry is against the documents the engine holds:
// - offsets and lengths (`start`, `length`) are 32 bits, and a text holds at most
//   kLongestText units (xml_doc.h), so they never wrap;
// - the start tag has the 22 bits above and no room beside them: a start tag longer than
//   kLongestStartTag cannot be indexed, so a parse that meets one reads it as an error (the
//   document is then ill-formed, with a "start_tag_too_long" record giving its offset) and
//   an edit that would make one is refused;
// - an end tag longer than its 10 bits keeps its whole length beside the index, in the
//   document (XmlDoc::EndTagLength), so end tags have no limit of their own;
// - the level has 16 bits and wraps below 65,536 levels of nesting; nothing reads it to decide
//   anything (navigation, edits and the filler follow the links), so deeper documents are
//   indexed, navigated and filled like any other;
// - entry indices are 32-bit signed; every entry but the temporary root of an insertion
//   stands for a tag of at least 3 units, so a text of kLongestText units needs far fewer,
//   and an index of 2^31 - 1 entries (64 GiB) grows no further (XmlDoc::AllocateEntry).
inline constexpr uint32_t kLongestStartTag = kStartTagMask;

// Entries per page; index i lives in page i >> 16, slot i & 0xFFFF.
inline constexpr int32_t kPageEntries = 65536;
inline constexpr int kPageShift = 16;

// One element: where its markup lies in the text and how it links to its relatives. Entry 0
// is the document itself. Eight plain words, initialised by whoever allocates the entry.
struct ElementEntry {
  uint32_t start;        // offset of the element's "<"
  uint32_t length;       // whole markup, end tag included when there is one
  uint32_t tagLengths;   // start-tag length (22 bits) and end-tag length (10 bits)
  uint32_t entryFlags;   // level (16 bits) and EntryFlag bits
  uint32_t parent;       // 0 for a top-level element
  uint32_t firstChild;   // 0 when there is none
  uint32_t nextSibling;  // 0 for the last child
  uint32_t prevSibling;  // predecessor; for a first child, the last sibling

  // Length of the start tag, "<" to ">" inclusive.
  uint32_t StartTagLength() const { return tagLengths & kStartTagMask; }
  // Length of the end tag, 0 when there is none. Only the low 10 bits are kept here; the
  // document keeps the whole length of a longer one beside (XmlDoc::EndTagLength).
  uint32_t EndTagLength() const { return tagLengths >> kEndTagShift; }
  // Sets the start-tag part, keeping the end-tag part.
  void SetStartTagLength(uint32_t n) {
    tagLengths = (tagLengths & ~kStartTagMask) | (n & kStartTagMask);
  }
  // Sets the end-tag part from the low 10 bits of n, keeping the start-tag part.
  void SetEndTagLength(uint32_t n) {
    tagLengths = (tagLengths & kStartTagMask) | ((n & kEndTagMask) << kEndTagShift);
  }
  // Depth of the element; top-level elements have level 0.
  uint32_t Level() const { return entryFlags & LevelMask; }
  // Sets the level, keeping the state bits.
  void SetLevel(uint32_t level) { entryFlags = (entryFlags & ~LevelMask) | (level & LevelMask); }
  // Whether every bit of `flag` is set.
  bool Has(uint32_t flag) const { return (entryFlags & flag) == flag; }
};
static_assert(sizeof(ElementEntry) == 32, "an entry is eight 32-bit words");

// Paged storage of entries. Owns its pages and the pages array; released on destruction.
struct ElementIndex {
  ElementEntry** pages = nullptr;  // page k holds entries 65536*k .. 65536*k + 65535
  int32_t capacity = 0;            // entries that have storage
  int32_t pageSlots = 0;           // length of the pages array

  ElementIndex() = default;
  ElementIndex(const ElementIndex&) = delete;
  ElementIndex& operator=(const ElementIndex&) = delete;
  ~ElementIndex();

  // The entry at `index`, which must be below `capacity`.
  ElementEntry& operator[](uint32_t index) {
    return pages[index >> kPageShift][index & (kPageEntries - 1)];
  }
  const ElementEntry& operator[](uint32_t index) const {
    return pages[index >> kPageShift][index & (kPageEntries - 1)];
  }
};

// Gives storage to at least part of n entries (n > capacity): at most one page beyond the
// current last page per call; only the last page is ever reallocated, full pages stay put.
void ReserveEntries(ElementIndex& index, int32_t n);

// Releases every page and the pages array, leaving an index with no storage.
void ClearEntries(ElementIndex& index);
