// Placing new markup in the text: where it goes among its future siblings, the line breaks
// around it, and opening up an enclosing element that had no room for children.

#include <algorithm>
#include <initializer_list>

#include "xmldoc/scanner.h"
#include "xmldoc/xml_doc.h"

namespace {

constexpr WChar kLineBreak[] = WTEXT("\r\n");

}  // namespace

uint32_t XmlDoc::TagNameLength(uint32_t e) const {
  const size_t start = Entry(e).start;
  const size_t size = TextLength();
  size_t end = start + 1;
  while (end < size && !IsWhitespace(TextUnit(end)) && TextUnit(end) != '/' &&
         TextUnit(end) != '>') {
    ++end;
  }
  return static_cast<uint32_t>(end - start - 1);
}

size_t XmlDoc::InsertionOffset(uint32_t parent, uint32_t after) const {
  if (after != 0) return size_t(Entry(after).start) + Entry(after).length;
  const ElementEntry p = Entry(parent);
  const uint32_t startTag = p.StartTagLength();
  // A closed-empty parent takes its content in place of the "/" of "<p/>", or before the
  // ">" of an unended "<p>"; any other before its end tag (the end of the text at the
  // document level).
  if (parent != 0 && startTag == p.length) {
    return size_t(p.start) + startTag - (p.Has(Unended) ? 0 : 1);
  }
  return size_t(p.start) + p.length - (parent != 0 ? EndTagLength(parent) : 0);
}

std::optional<XmlDoc::Splice> XmlDoc::SpliceMarkup(uint32_t parent, uint32_t after,
                                                   WStringView markup, bool noBreak) {
  // Markup read from this very text would move under the splice: copy it first.
  WString kept;
  if (InsideText(markup.data())) {
    kept.assign(markup);
    markup = kept;
  }
  const ElementEntry p = Entry(parent);
  const uint32_t startTag = p.StartTagLength();
  // Closed-empty: "<p/>" or an unended "<p>", which has no place for content yet.
  // Open-empty: "<p></p>".
  const bool closedEmpty = parent != 0 && startTag == p.length;
  const uint32_t endTag = parent != 0 ? EndTagLength(parent) : 0;
  const bool openEmpty = parent != 0 && p.length - endTag == startTag;

  size_t position = InsertionOffset(parent, after);
  if (!noBreak && !closedEmpty) {
    // Land on the next tag so that the text before it stays with what precedes it.
    size_t skipped = position;
    const size_t size = TextLength();
    while (skipped < size && IsWhitespace(TextUnit(skipped))) ++skipped;
    if (skipped == size || TextUnit(skipped) == '<') position = skipped;
  }

  Splice splice{};
  splice.sibling = after != 0 ? after : p.firstChild != 0 ? Entry(p.firstChild).prevSibling : 0;
  splice.position = static_cast<uint32_t>(position);
  if (!noBreak && (closedEmpty || openEmpty)) splice.position += 2;

  // The markup goes in as it is, between what opens a parent without content and the line
  // break after it, so that the text takes it in one splice and nothing copies it before.
  WStringView lead;
  const WStringView trail = noBreak ? WStringView() : WStringView(kLineBreak);
  WString closing;  // the end tag a closed-empty parent gets, but for its ">"
  size_t at = position;
  uint32_t nameLength = 0;
  if (closedEmpty) {
    nameLength = TagNameLength(parent);
    closing = WTEXT("</");
    AppendText(closing, size_t(p.start) + 1, size_t(p.start) + 1 + nameLength);
    lead = noBreak ? WTEXT(">") : WTEXT(">\r\n");
    // "<p" + ">...</p" + ">": before the ">" of an unended "<p>", or in place of the "/" of
    // "<p/>".
    at = size_t(p.start) + p.length - (p.Has(Unended) ? 1 : 2);
    splice.replaced = p.Has(Unended) ? 0 : 1;
  } else if (openEmpty && !noBreak) {
    lead = kLineBreak;
  }
  const size_t inserted = lead.size() + markup.size() + trail.size() + closing.size();
  if (!TextCanTake(splice.replaced, inserted, position)) return std::nullopt;
  if (closedEmpty) {
    ElementEntry& opening = StoredEntry(parent);
    if (opening.Has(Unended)) {
      opening.entryFlags &= ~Unended;
    } else {
      opening.SetStartTagLength(startTag - 1);
    }
    SetEndTagLength(parent, nameLength + 3);
  }
  WChar* out = OpenText(at, splice.replaced, inserted);
  for (const WStringView piece : {lead, markup, trail, WStringView(closing)}) {
    out = std::copy(piece.begin(), piece.end(), out);
  }
  splice.inserted = static_cast<uint32_t>(inserted);
  return splice;
}
