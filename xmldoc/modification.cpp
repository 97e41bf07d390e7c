// The edits: attribute writes, element and markup insertion, removal. Each splices the text
// once and repairs the index from the edit point on.

#include <algorithm>

#include "xmldoc/escaping.h"
#include "xmldoc/parser.h"
#include "xmldoc/scanner.h"
#include "xmldoc/unit_search.h"
#include "xmldoc/xml_doc.h"

namespace {

// Units that would end the tag, open a value or a quote, or make the parser read a name
// written into a tag as something else; a name holding one could not be read back. All are
// below 64, so each unit of a name costs one test.
constexpr uint64_t kNotInAttributeNames =
    (1ull << '<') | (1ull << '>') | (1ull << '/') | (1ull << '=') | (1ull << '?') | (1ull << '\'') |
    (1ull << '"') | (1ull << ' ') | (1ull << '\t') | (1ull << '\n') | (1ull << '\r');

bool IsAttributeName(const WChar* name) {
  if (name == nullptr || *name == 0) return false;
  for (const WChar* u = name; *u != 0; ++u) {
    if (*u < 64 && ((kNotInAttributeNames >> *u) & 1) != 0) return false;
  }
  return true;
}

}  // namespace

bool XmlDoc::StartTagReadsAs(uint32_t e, uint32_t startTagLength) const {
  // The attribute search and the parser agree on every tag a writer would produce, but in
  // some ill-formed ones they pair quotes differently, and a write there can move the end
  // the parser finds. One tag is read again, never the document.
  const ElementEntry entry = Entry(e);
  const bool empty = entry.StartTagLength() == entry.length && !entry.Has(Unended);
  Scanner scanner;
  scanner.text = TextFrom(entry.start);
  scanner.cursor = static_cast<int32_t>(entry.start);
  scanner.scanFlags = flags;
  NodeToken node;
  return ScanNode(scanner, node) == NodeElement && node.length == startTagLength &&
         ((node.nodeFlags & EmptyElement) != 0) == empty;
}

bool XmlDoc::WriteAttribute(uint32_t element, const WChar* name, const WChar* value) {
  if (element == 0 || nodeKind != 1 || !IsAttributeName(name)) return false;
  const ElementEntry entry = Entry(element);
  const size_t closing = size_t(entry.start) + entry.StartTagLength() - 1;  // the tag's ">"
  // The "/" of an empty-element tag belongs to the tag, whatever the scanner makes of it.
  const bool selfClosing = !entry.Has(Unended) && entry.StartTagLength() == entry.length &&
                           closing > entry.start && TextUnit(closing - 1) == '/';
  const size_t limit = closing - (selfClosing ? 1 : 0);

  Scanner scanner;
  scanner.text = TextFrom(size_t(entry.start) + 1);
  scanner.cursor = static_cast<int32_t>(entry.start) + 1;
  scanner.scanFlags = flags;
  bool addName = false;   // a new attribute: " name=" goes before the value
  bool endTaken = false;  // the value goes over the tag's own end
  size_t from;
  size_t to;
  if (FindAttribute(scanner, name)) {
    // The token found is replaced as it stands: the value with its quotes, or, for an
    // attribute without a value, its name.
    from = static_cast<size_t>(scanner.tokenStart);
    to = static_cast<size_t>(scanner.tokenEnd + 1);
    const bool quoted = (scanner.scanFlags & QuotedToken) != 0;
    if (quoted) {
      --from;
      if (to < TextLength()) ++to;  // the closing quote, when the text did not end first
    }
    if (to > limit) {
      // A quoted value that runs past the tag, or a token beyond it, is not this tag's.
      if (quoted || from > limit) return false;
      // A bare value that reaches into the tag's end: the ">" itself, which is the value
      // when nothing follows the "=", or a run that takes in the "/" of "/>". It is written
      // over like any value, and the tag loses that end.
      endTaken = true;
    }
  } else {
    from = to = static_cast<size_t>(scanner.cursor);
    if (from > limit) return false;  // the attribute list did not end inside this tag
    addName = true;
  }
  // The scanner ends a name at more units than the parser does; a write inside what the
  // parser takes for the tag name would rename the element. In a tag of the plain shape
  // both end it at the same unit.
  if (!scanner.plainTag && from <= size_t(entry.start) + TagNameLength(element)) return false;
  // A quoted value right before the "/>" of a start tag would turn it into an empty-element
  // tag in the eyes of the parser.
  if (!selfClosing && to + 1 == closing && TextUnit(to) == '/') return false;
  // The value is escaped straight into the spliced text, between what goes before it
  // (" name=\"" or "\"") and its closing quote.
  const WChar* plain = value != nullptr ? value : WTEXT("");
  // A name or value read from this very text would move under the splice: copy it first.
  WString plainCopy;
  WString nameCopy;
  if (InsideText(plain) || InsideText(name)) {
    plainCopy = plain;
    nameCopy = name;
    plain = plainCopy.c_str();
    name = nameCopy.c_str();
  }
  // A short value, as nearly every value a template receives, is escaped onto the stack in
  // the one pass that also finds its end; a longer one is measured first and escaped
  // straight into the text.
  constexpr size_t kShortValue = 128;
  WChar shortEscaped[kShortValue * kLongestReference + kEscapeBlockSlack];
  const WChar* const shortEnd = EscapeTerminatedInto(plain, kShortValue, shortEscaped);
  const bool escapedAhead = shortEnd != nullptr;
  const size_t plainLength = escapedAhead ? 0 : static_cast<size_t>(FindUnit(plain, 0, 0, 0));
  const size_t escapedLength = escapedAhead ? static_cast<size_t>(shortEnd - shortEscaped)
                                            : EscapedLength(plain, plainLength);
  const size_t nameLength = addName ? std::char_traits<WChar>::length(name) : 0;
  const size_t lead = addName ? nameLength + 3 : 1;
  const size_t written = lead + escapedLength + 1;
  // The tag may not outgrow its entry, nor the text its limit.
  const size_t startTagLength = entry.StartTagLength() - (to - from) + written;
  if (startTagLength > kLongestStartTag) [[unlikely]] {
    return RefuseAtLimit(WTEXT("start_tag_too_long"), entry.start, entry.start + startTagLength);
  }
  if (!TextCanTake(to - from, written, from)) return false;
  // What the write replaces, to put back should the parser read the tag differently after;
  // a tag of the plain shape reads the same, so only other tags are read again. A tag whose
  // end is written over reads on past it, as written, and is not read again.
  const bool readAgain = !scanner.plainTag && !endTaken;
  const WString replaced = readAgain ? TextRange(from, to) : WString();
  WChar* out = OpenText(from, to - from, written);
  if (addName) {
    *out++ = ' ';
    out = std::copy(name, name + nameLength, out);
    *out++ = '=';
  }
  *out++ = '"';
  out = escapedAhead ? std::copy(shortEscaped, shortEscaped + escapedLength, out)
                     : EscapeInto(plain, plainLength, out);
  *out = '"';

  const int32_t delta = static_cast<int32_t>(written) - static_cast<int32_t>(to - from);
  if (readAgain &&
      !StartTagReadsAs(element, Entry(element).StartTagLength() + static_cast<uint32_t>(delta))) {
    SpliceText(from, written, replaced);
    return false;
  }
  ElementEntry& changed = StoredEntry(element);
  changed.SetStartTagLength(changed.StartTagLength() + static_cast<uint32_t>(delta));
  changed.length += static_cast<uint32_t>(delta);
  ShiftOffsets(element, delta, false);
  return true;
}

bool XmlDoc::InsertElement(const WChar* name) {
  const WStringView nameView(name);
  if (nameView.size() + 3 > kLongestStartTag) {
    const size_t at = InsertionOffset(parentPos, mainPos);
    return RefuseAtLimit(WTEXT("start_tag_too_long"), at, at + nameView.size() + 3);
  }
  const uint32_t e = AllocateEntry();
  WString markup;
  markup.reserve(nameView.size() + 3);
  markup.push_back('<');
  markup.append(nameView);
  markup.push_back('/');
  markup.push_back('>');
  const uint32_t markupLength = static_cast<uint32_t>(markup.size());
  const std::optional<Splice> placed = SpliceMarkup(parentPos, mainPos, markup, true);
  if (!placed) {
    StoredEntry(e).entryFlags = Released;  // handed out, never linked
    return false;
  }
  const Splice& splice = *placed;
  StoredEntry(e) =
      ElementEntry{splice.position, markupLength, markupLength & kStartTagMask, 0, 0, 0, 0, 0};
  LinkEntry(parentPos, splice.sibling, e);
  ShiftOffsets(e, static_cast<int32_t>(splice.inserted - splice.replaced), false);
  mainPos = e;
  childPos = 0;
  nodeKind = 1;
  return true;
}

bool XmlDoc::InsertMarkup(const WChar* markup) {
  resultLog.clear();
  const uint32_t parent = parentPos;
  // The temporary root under which the markup is parsed, its offsets counted in the markup.
  // Its level is that of the new elements: one below the parent, 0 at the document level.
  const uint32_t root = AllocateEntry();
  StoredEntry(root) = ElementEntry{};
  StoredEntry(root).SetLevel(parent != 0 ? Entry(parent).Level() + 1 : 0);

  const WChar* source = markup != nullptr ? markup : WTEXT("");
  Scanner scanner;
  scanner.text = source;
  scanner.scanFlags = flags;
  ParseElements(root, scanner);
  // The parsed elements are not in the document yet: their starts are stored as they are.
  const uint32_t first = StoredEntry(root).firstChild;
  const uint32_t last = first != 0 ? StoredEntry(first).prevSibling : 0;
  const bool wellFormed = first != 0 && !StoredEntry(root).Has(IllFormed);

  WStringView piece(source);
  uint32_t origin = 0;
  if (wellFormed) {
    origin = StoredEntry(first).start;
    piece =
        piece.substr(origin, size_t(StoredEntry(last).start) + StoredEntry(last).length - origin);
  }

  uint32_t position = 0;
  Splice splice{};
  if (!piece.empty()) {
    const std::optional<Splice> placed = SpliceMarkup(parent, mainPos, piece, !wellFormed);
    if (!placed) {
      ReleaseSubtree(root);  // the parsed elements with it
      return false;
    }
    splice = *placed;
    position = splice.position;
  }
  if (StoredEntry(root).Has(ContentIllFormed)) StoredEntry(parent).entryFlags |= ContentIllFormed;
  const int32_t delta = static_cast<int32_t>(splice.inserted - splice.replaced);
  // The new elements join the document with their starts as they are, which in a text that
  // has grown too long for pending starts could pass for pending ones.
  SettleLongText();

  if (first != 0) {
    const int32_t move = static_cast<int32_t>(position - origin);
    if (move != 0) {
      ShiftOffsets(first, move, false);  // stops at the temporary root
      StoredEntry(first).start += static_cast<uint32_t>(move);
    }
    uint32_t after = splice.sibling;
    for (uint32_t e = first; e != 0;) {
      const uint32_t next = StoredEntry(e).nextSibling;  // LinkEntry rewrites it
      LinkEntry(parent, after, e);
      after = e;
      if (e == last) break;
      e = next;
    }
    StoredEntry(root).entryFlags = Released;
    ShiftOffsets(last, delta, true);
  } else {
    StoredEntry(root).entryFlags = Released;
    if (delta != 0) {
      // Markup without elements still went in; nothing inserted can start the repair, so
      // it starts from the sibling before it, or from the parent when it had no children.
      if (splice.sibling != 0) {
        ShiftOffsets(splice.sibling, delta, true);
      } else {
        StoredEntry(parent).length += static_cast<uint32_t>(delta);
        ShiftOffsets(parent, delta, true);
      }
    }
  }

  mainPos = first;
  childPos = 0;
  nodeKind = first != 0 ? 1 : 0;
  return wellFormed && first == last;
}

uint32_t XmlDoc::RemoveElement(uint32_t e) {
  const ElementEntry entry = Entry(e);
  const size_t start = entry.start;
  const size_t end = start + entry.length;
  size_t cut = end;
  const size_t size = TextLength();
  while (cut < size && IsWhitespace(TextUnit(cut))) ++cut;
  // White space that only separates the element from the next tag goes with it; in front of
  // text it is part of that text.
  if (cut < size && TextUnit(cut) != '<') cut = end;
  SpliceText(start, cut - start, WStringView());
  ShiftOffsets(e, -static_cast<int32_t>(cut - start), true);
  return UnlinkEntry(e);
}
