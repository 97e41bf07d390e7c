#pragma once
// An XML (or loosely HTML-like) document held as one wide string plus an index of where
// every element lies in it. Move-only; the index and its pages are released with it, and a
// document that was moved from may only be assigned to or destroyed.
//
// Edits keep the text with a gap at the point of editing, so that a splice moves only the
// units between it and the edit before instead of the whole tail. Every read sees the text
// as if there were no gap; reads that need it whole or contiguous from some offset on move
// the gap out of their way. So even the const reads may rearrange the storage (never the
// text itself): a document belongs to one thread, as it always did.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/text.h"
#include "xmldoc/element_index.h"
#include "xmldoc/scanner.h"
#include "xmldoc/text_buffer.h"

// The longest text a document holds, in units. Offsets into the text are read through the
// scanner's 32-bit signed cursors, so a longer text could not be read. A template never
// loads longer (TextFile refuses files of 2 GiB or more and counts the units it converts in
// 32 signed bits); a longer text handed to ParseText or ParseDocument is refused as a whole,
// and an edit that would make the text longer is refused.
inline constexpr size_t kLongestText = INT32_MAX;

class XmlDoc {
 public:
  WString resultLog;          // records left by the last parse or load
  uint32_t parentPos = 0;     // entry whose children are walked; 0 = document level
  uint32_t mainPos = 0;       // current element; 0 = none
  uint32_t childPos = 0;      // current child of mainPos; 0 = none
  int32_t nextFreeEntry = 0;  // index the next new entry receives
  uint32_t nodeKind = 0;      // 1 when mainPos names an element, else 0
  uint32_t flags = 0;         // document flags; bit 0x8 makes names compare without case
  std::unique_ptr<ElementIndex> elementIndex;  // the entries as stored (see StoredEntry)

  // An empty document, as after ParseText with no text: storage for 8 entries, entry 0
  // zeroed, nextFreeEntry 1, all positions 0.
  XmlDoc();
  XmlDoc(XmlDoc&&) noexcept = default;
  XmlDoc& operator=(XmlDoc&&) noexcept = default;
  XmlDoc(const XmlDoc&) = delete;
  XmlDoc& operator=(const XmlDoc&) = delete;
  ~XmlDoc() = default;

  // The text; offsets count UTF-16 units from its start. Pointers and references into it
  // stay valid until the next edit or parse.

  // The whole text, contiguous and zero-terminated, the gap closed first (which moves only
  // what follows the gap).
  WStringView Text() const;
  // Length of the text in units.
  size_t TextLength() const { return text.size() - gapLength; }
  // Unit `i` of the text, for i up to TextLength(), where it is the terminating zero.
  WChar TextUnit(size_t i) const { return text.data()[i < gapStart ? i : i + gapLength]; }
  // Units the text can grow to before its storage moves. A document that is parsed again
  // keeps its storage, so that a host filling one document after another allocates nothing
  // once the largest has been held.
  size_t TextCapacity() const { return text.capacity(); }
  // A copy of units [from, to) of the text.
  WString TextRange(size_t from, size_t to) const;
  // The text from offset `p` on, contiguous and zero-terminated, for the scanner: indexed by
  // any offset from `p` on, the pointer gives that unit of the text (and units before `p`
  // are no business of the reader). Later reads keep it valid, whatever offset they ask for.
  const WChar* TextFrom(size_t p) const {
    if (gapLength != 0 && p < gapStart) MoveGap(p);
    return text.data() + gapLength;
  }
  // Replaces the text with a copy of `newText` without parsing it: the index describes the
  // old text until ParseDocument. Storage that is too small is replaced by storage of
  // exactly the new text's size.
  void SetText(WStringView newText);
  // The whole text, for a document about to be released; it is left with none and must be
  // parsed again before any other use.
  WString TakeText() &&;

  // The index. Edits leave the move of the entries after them pending, so that a run of
  // edits from the start of the document to its end moves each entry about once instead of
  // once per edit before it; Entry() sees every entry as if each move had been made.

  // A copy of the entry at `index` (below the index's capacity) as it stands: every word
  // current, the start of an entry whose move is pending included.
  ElementEntry Entry(uint32_t index) const {
    ElementEntry entry = (*elementIndex)[index];
    if (entry.start >= pendingFrom) entry.start -= pendingWidth;
    return entry;
  }
  // The entry at `index` as stored, to write it. Every word is current but `start`, which
  // an entry whose move is pending keeps in pending form: read offsets through Entry(), and
  // write the start only of an entry that is not yet linked into the document. Valid until
  // the next AllocateEntry.
  ElementEntry& StoredEntry(uint32_t index) { return (*elementIndex)[index]; }
  const ElementEntry& StoredEntry(uint32_t index) const { return (*elementIndex)[index]; }
  // The first entry in document order whose move is pending, 0 when none is; every entry
  // after it is pending too, none before it is. For the index check.
  uint32_t FirstPendingEntry() const { return pendingEntry; }
  // Whether entry `index` is stored in pending form. For the index check.
  bool IsPending(uint32_t index) const { return StoredEntry(index).start >= pendingFrom; }

  // Editing. Each edit splices the text once and repairs the index arithmetically, shifting
  // what follows the edit point and growing what encloses it; nothing is parsed again.

  // The edits that would make a start tag longer than kLongestStartTag or the text longer
  // than kLongestText are refused: they change nothing but resultLog, which gets a record
  // ("start_tag_too_long" with the tag's offset and where it would end, or "text_too_long"
  // with the offset of the edit), and MetLimit(), which becomes true.

  // Sets attribute `name` of `element` to `value` (plain text, escaped here, then quoted):
  // it replaces the token the attribute search finds (the old value with its quotes; for an
  // attribute without a value, its name; where the value is the tag's ">", or a bare run that
  // takes in the "/" of its "/>", that end) or goes in as a new attribute after the last one.
  // False, changing nothing, when `element` is 0, there is no current element, `name` is not
  // an attribute name (empty, or holding white space or one of < > / = ? ' "), the start tag
  // cannot be read up to its ">" past its name, the write would end a start tag in a quote
  // before "/>" (making it an empty-element tag), or it meets a limit (above). Positions are
  // not changed.
  bool WriteAttribute(uint32_t element, const WChar* name, const WChar* value);
  // Writes "<name/>" right after mainPos (last at the level of parentPos when mainPos is 0),
  // with no line break; the new element becomes mainPos, childPos 0. `name` must be a tag name.
  // False, changing nothing, when it meets a limit.
  bool InsertElement(const WChar* name);
  // Parses `markup` and inserts the elements it holds after mainPos (last at the level of
  // parentPos when mainPos is 0) followed by a line break; ill-formed markup goes in whole
  // without line breaks. Clears resultLog, which gets the parse records. The first inserted
  // element becomes mainPos (0 if none). True when the markup held exactly one well-formed
  // element. Markup that would make the text too long is not inserted and the positions stay.
  bool InsertMarkup(const WChar* markup);
  // Cuts live element `e` (not 0) and the white space after it out of the text when that
  // runs up to a "<" or the end; returns its previous sibling, 0 when it was the first child.
  // Its entries are released for good. Positions are not changed.
  uint32_t RemoveElement(uint32_t e);

  // The steps the edits share; public so that tests can drive them on built indexes.

  // Where SpliceMarkup put the new markup.
  struct Splice {
    uint32_t position;  // offset of the new markup's first "<"
    uint32_t inserted;  // units written into the text
    uint32_t replaced;  // units of the text they replaced
    uint32_t sibling;   // the child of the enclosing element to link the new one after, 0: first
  };
  // Places `markup` after `after` inside `parent` (last child when `after` is 0) and splices
  // it into the text, opening an empty or unended parent up to take it. Unless `noBreak`,
  // white space before a following "<" is skipped and a line break is written after it (and
  // before it when the parent had no content). Does not touch the index beyond `parent`.
  // Nothing, changing nothing but the refusal's record, when the text would grow too long.
  std::optional<Splice> SpliceMarkup(uint32_t parent, uint32_t after, WStringView markup,
                                     bool noBreak);
  // Where SpliceMarkup puts markup before it skips white space: after `after`, else in
  // `parent` after its last content.
  size_t InsertionOffset(uint32_t parent, uint32_t after) const;
  // Whether the parser, reading the text at `e` now, finds a start tag of `startTagLength`
  // units that is empty exactly when `e` is closed by its own start tag.
  bool StartTagReadsAs(uint32_t e, uint32_t startTagLength) const;
  // Length of the end tag of entry `e`, 0 when it has none. The entry's own field keeps only
  // the low 10 bits; the document keeps the whole length of any longer end tag beside it,
  // which is what an edit that places content before the end tag needs.
  uint32_t EndTagLength(uint32_t e) const;
  // Sets the end-tag length of entry `e` in its field, keeping a length of more than 1023
  // units beside it.
  void SetEndTagLength(uint32_t e, uint32_t n) {
    StoredEntry(e).SetEndTagLength(n);
    if (n > kEndTagMask) [[unlikely]] {
      KeepLongEndTag(e, n);
    }
  }
  // Length of the tag name of element `e` as the parser reads it (up to white space, "/" or
  // ">"), which is what an end tag must repeat.
  uint32_t TagNameLength(uint32_t e) const;
  // Replaces `count` units at `pos` with `with`, reserving half again plus 128 units, and
  // at least twice the old storage, whenever the text outgrows its capacity, so that
  // repeated edits rarely reallocate.
  // The gap ends up right after the new units.
  void SpliceText(size_t pos, size_t count, WStringView with);
  // SpliceText for `n` units that the caller writes itself: returns where they go, valid
  // until the text changes again.
  WChar* OpenText(size_t pos, size_t count, size_t n);
  // Repairs the index after the text changed by `delta` units inside or just after element
  // `e`: every entry after it in document order (and its descendants unless
  // `skipDescendants`) moves, every ancestor up to entry 0 grows; `e` itself is untouched.
  // In the document the move is left pending (see Entry()); inside markup being inserted,
  // below its temporary root, it is made at once.
  void ShiftOffsets(uint32_t e, int32_t delta, bool skipDescendants);
  // Makes `e` a child of `parent` right after child `after` (first child when `after` is 0),
  // one level below `parent` (top-level elements keep level 0).
  void LinkEntry(uint32_t parent, uint32_t after, uint32_t e);
  // Takes `e` out of its parent's children and releases its subtree; returns its previous
  // sibling, 0 when it was the first child.
  uint32_t UnlinkEntry(uint32_t e);
  // Marks every entry of `e`'s subtree, `e` included, Released: never handed out again.
  void ReleaseSubtree(uint32_t e);

  // Hands out nextFreeEntry, growing the index by half when it is full; the caller
  // initialises all eight words of the new entry. An index that holds the most entries that
  // 32-bit signed indices can name cannot grow: that throws std::bad_alloc, as memory
  // exhaustion does.
  uint32_t AllocateEntry() {
    if (nextFreeEntry == elementIndex->capacity) GrowFullIndex();
    return static_cast<uint32_t>(nextFreeEntry++);
  }

  // Parsing. Every deviation becomes a record in resultLog and a mark on the entries.

  // Replaces the text with a copy of `source` (none: empty text and no index storage), clears
  // resultLog and parses; returns ParseDocument's verdict. Storage that is too small for the
  // copy is replaced by storage with half again as much room, for the values a fill adds.
  bool ParseText(const WChar* source);
  // Rebuilds the index from the current text; true when it is well-formed with one root. A
  // text longer than kLongestText is not parsed: it is refused as ill-formed, with the record
  // "text_too_long".
  bool ParseDocument();
  // Parses the scanner's text from offset 0 and links the elements found under `parseRoot`,
  // handing out new entries; returns the first entry created, 0 if none. A start tag longer
  // than kLongestStartTag gets no entry: it counts as a syntax error.
  uint32_t ParseElements(uint32_t parseRoot, Scanner& scanner);
  // Whether, since the last parse of the whole document began, a start tag or the text
  // outgrew its limit (a parse read one, or an edit was refused for it). Whoever reads the
  // document as a whole then knows that it does not hold what was asked for.
  bool MetLimit() const { return metLimit; }
  // Records that something met a limit: adds the record `keyword` with `offset` and
  // `offset2` (0xFFFFFFFF: none) to resultLog and sets MetLimit(). Returns false, for the
  // refusing edit to return.
  bool RefuseAtLimit(const WChar* keyword, size_t offset, size_t offset2);

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
  // A copy of the whole text (the gap stays where it is).
  WString DocumentText() const;

 private:
  // The text's storage: units [0, gapStart) and [gapStart + gapLength, text.size()) of
  // `text`, in that order, are the document's text. While the gap is open `text` fills its
  // whole capacity, so that the gap is all the room there is; a closed gap (gapLength 0)
  // stands at the end and `text` is the text itself.
  mutable TextBuffer text;
  mutable size_t gapStart = 0;
  mutable size_t gapLength = 0;

  // Whether `p` points into the storage of the text, where a splice would move it.
  bool InsideText(const WChar* p) const;
  // Moves the gap to offset `p` of the text, moving the units between.
  void MoveGap(size_t p) const;
  // Closes the gap: `text` becomes the text itself, its capacity kept.
  void CloseGap() const;
  // Appends units [from, to) of the text to `out`.
  void AppendText(WString& out, size_t from, size_t to) const;
  // Copies units [from, to) of the text to `out`; returns the end of the copy.
  WChar* CopyText(WChar* out, size_t from, size_t to) const;
  // Replaces the text with the `n` units at `source`, without parsing; storage too small
  // for them is replaced by storage of `n` units and `headroom` more.
  void LoadText(const WChar* source, size_t n, size_t headroom);
  // Moves the text into new storage of at least `capacity` units with the gap at `pos`,
  // dropping the `count` units there; the gap then has room for what replaces them.
  void RegrowText(size_t pos, size_t count, size_t capacity);

  // The pending move. Every linked entry from `pendingEntry` on in document order stores
  // its start plus `pendingWidth`, every other entry its start as it is: an edit that moves
  // all of them takes its delta off the width, and the stored starts stay. Live starts
  // ascend in document order, so the pending entries store `pendingFrom` (the first one's
  // stored start) or more and the others less; without a pending entry pendingFrom is the
  // largest value. An edit first makes its own first following entry the first pending
  // one, converting the entries in between: edits that go forward through the document
  // convert each entry about once. The text is kept below 2^30 units while a move is
  // pending, so that pending starts (the width starts at 2^31) neither wrap nor meet the
  // others.
  uint32_t pendingEntry = 0;
  uint32_t pendingWidth = 0;
  uint32_t pendingFrom = UINT32_MAX;

  // End tags too long for their entry's 10 bits, as (entry, length), one pair per entry; a
  // real document has none, so a list is enough.
  std::vector<std::pair<uint32_t, uint32_t>> longEndTags;

  bool metLimit = false;  // see MetLimit()
  // Whether replacing `removed` units of the text by `added` keeps it within kLongestText;
  // refuses with "text_too_long" at `offset` when it does not. The text is never longer than
  // the limit and `added` counts the units of a string in memory, so the sum cannot wrap.
  bool TextCanTake(size_t removed, size_t added, size_t offset) {
    if (TextLength() - removed + added <= kLongestText) [[likely]]
      return true;
    return RefuseAtLimit(WTEXT("text_too_long"), offset, 0xFFFFFFFF);
  }

  // Records the whole length of a long end tag, replacing an older one of the same entry.
  void KeepLongEndTag(uint32_t e, uint32_t n);
  // The growth rule of a full index: half again its size.
  void GrowFullIndex();
  // Makes `e` (0: none) the first entry whose move is pending, converting the entries
  // between it and the one before. `e` is an entry of the document, or 0.
  void MovePendingShift(uint32_t e);
  // Ends the pending move, bringing every entry up to date, once the text has grown too
  // long for pending starts.
  void SettleLongText();
  // Converts the linked entries from `from` up to `to` (0: the end) in document order to
  // the pending form (`pending`) or back to their current starts; entries already in that
  // form stay as they are.
  void ConvertEntries(uint32_t from, uint32_t to, bool pending);
  // The entry after `e` in document order inside `top` (entry 0 or the temporary root of an
  // insertion), past e's descendants when `skipDescendants`; 0 when there is none.
  uint32_t NextEntry(uint32_t e, uint32_t top, bool skipDescendants) const;
  WString ReadAttributeAt(uint32_t pos, const WChar* name) const;
};
