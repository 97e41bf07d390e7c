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

XmlDoc::Splice XmlDoc::SpliceMarkup(uint32_t parent, uint32_t after, WStringView markup,
                                    bool noBreak) {
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

  size_t position;
  if (after != 0) {
    position = size_t(Entry(after).start) + Entry(after).length;
  } else if (closedEmpty) {
    position = size_t(p.start) + startTag - (p.Has(Unended) ? 0 : 1);
  } else {
    position = size_t(p.start) + p.length - endTag;
  }
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
  if (closedEmpty) {
    const uint32_t nameLength = TagNameLength(parent);
    closing = WTEXT("</");
    AppendText(closing, size_t(p.start) + 1, size_t(p.start) + 1 + nameLength);
    lead = noBreak ? WTEXT(">") : WTEXT(">\r\n");
    ElementEntry& opening = StoredEntry(parent);
    const size_t markupEnd = size_t(p.start) + p.length;
    if (opening.Has(Unended)) {
      // Before the ">" of "<p>": "<p" + ">...</p" + ">".
      at = markupEnd - 1;
      opening.entryFlags &= ~Unended;
    } else {
      // In place of the "/" of "<p/>": "<p" + ">...</p" + ">".
      at = markupEnd - 2;
      splice.replaced = 1;
      opening.SetStartTagLength(startTag - 1);
    }
    SetEndTagLength(parent, nameLength + 3);
  } else if (openEmpty && !noBreak) {
    lead = kLineBreak;
  }
  const size_t inserted = lead.size() + markup.size() + trail.size() + closing.size();
  WChar* out = OpenText(at, splice.replaced, inserted);
  for (const WStringView piece : {lead, markup, trail, WStringView(closing)}) {
    out = std::copy(piece.begin(), piece.end(), out);
  }
  splice.inserted = static_cast<uint32_t>(inserted);
  return splice;
}
