// Placing new markup in the text: where it goes among its future siblings, the line breaks
// around it, and opening up an enclosing element that had no room for children.

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

XmlDoc::Splice XmlDoc::SpliceMarkup(uint32_t parent, uint32_t after, WString markup, bool noBreak) {
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
  if (!noBreak) {
    markup += kLineBreak;
    if (closedEmpty || openEmpty) splice.position += 2;
  }

  if (closedEmpty) {
    const size_t markupEnd = size_t(p.start) + p.length;
    const uint32_t nameLength = TagNameLength(parent);
    WString opened(noBreak ? WTEXT(">") : WTEXT(">\r\n"));
    opened += markup;
    opened += WTEXT("</");
    AppendText(opened, size_t(p.start) + 1, size_t(p.start) + 1 + nameLength);
    ElementEntry& opening = StoredEntry(parent);
    if (opening.Has(Unended)) {
      // Before the ">" of "<p>": "<p" + ">...</p" + ">".
      SpliceText(markupEnd - 1, 0, opened);
      opening.entryFlags &= ~Unended;
    } else {
      // In place of the "/" of "<p/>": "<p" + ">...</p" + ">".
      SpliceText(markupEnd - 2, 1, opened);
      opening.SetStartTagLength(startTag - 1);
      splice.replaced = 1;
    }
    SetEndTagLength(parent, nameLength + 3);
    splice.inserted = static_cast<uint32_t>(opened.size());
  } else if (openEmpty && !noBreak) {
    markup.insert(0, kLineBreak);
    SpliceText(position, 0, markup);
    splice.inserted = static_cast<uint32_t>(markup.size());
  } else {
    SpliceText(position, 0, markup);
    splice.inserted = static_cast<uint32_t>(markup.size());
  }
  return splice;
}
