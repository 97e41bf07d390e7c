// The document's text with a gap at the point of editing. A fill writes one value after
// another from the start of the document to its end; with the gap following the writes,
// each splice moves only the units since the one before, where moving the whole tail at
// every write made a fill cost the square of the document.

#include <algorithm>
#include <functional>

#include "xmldoc/xml_doc.h"

namespace {

using Traits = std::char_traits<WChar>;

}  // namespace

bool XmlDoc::InsideText(const WChar* p) const {
  const std::less_equal<const WChar*> notAfter;
  return notAfter(text.data(), p) && notAfter(p, text.data() + text.capacity());
}

void XmlDoc::MoveGap(size_t p) const {
  if (gapLength != 0) {
    WChar* const data = text.data();
    if (p < gapStart) {
      Traits::move(data + p + gapLength, data + p, gapStart - p);
    } else if (p > gapStart) {
      Traits::move(data + gapStart, data + gapStart + gapLength, p - gapStart);
    }
  }
  gapStart = p;
}

void XmlDoc::CloseGap() const {
  if (gapLength == 0) return;
  const size_t size = TextLength();
  MoveGap(size);
  gapLength = 0;
  text.resize(size);  // keeps the capacity
}

const WString& XmlDoc::Text() const {
  CloseGap();
  return text;
}

void XmlDoc::AppendText(WString& out, size_t from, size_t to) const {
  const WChar* const data = text.data();
  if (to <= gapStart) {
    out.append(data + from, to - from);
  } else if (from >= gapStart) {
    out.append(data + from + gapLength, to - from);
  } else {
    out.append(data + from, gapStart - from);
    out.append(data + gapStart + gapLength, to - gapStart);
  }
}

WString XmlDoc::TextRange(size_t from, size_t to) const {
  WString out;
  out.reserve(to - from);
  AppendText(out, from, to);
  return out;
}

WString XmlDoc::DocumentText() const { return TextRange(0, TextLength()); }

void XmlDoc::SetText(WString newText) {
  text = std::move(newText);
  gapStart = text.size();
  gapLength = 0;
}

WString XmlDoc::TakeText() && {
  CloseGap();
  WString out = std::move(text);
  text.clear();
  gapStart = 0;
  return out;
}

void XmlDoc::RegrowText(size_t pos, size_t count, size_t capacity) {
  const size_t kept = TextLength() - count;
  WString grown;
  grown.reserve(capacity);
  AppendText(grown, 0, pos);
  // Every unit of storage beyond the kept text is gap.
  const size_t room = grown.capacity() - kept;
  grown.append(room, WChar());
  AppendText(grown, pos + count, TextLength());
  text.swap(grown);
  gapStart = pos;
  gapLength = room;
}

WChar* XmlDoc::OpenText(size_t pos, size_t count, size_t n) {
  const size_t size = TextLength() - count + n;
  if (size > text.capacity()) {
    // At least half again plus 128 units; and, as the standard string's own reserve gives
    // it, at least twice the old storage, so that a fill's values, which add about half to
    // a template, fit after one reallocation.
    RegrowText(pos, count, std::max(size + size / 2 + 128, 2 * text.capacity()));
  } else {
    if (gapLength == 0) {
      // The storage beyond the text becomes the gap.
      const size_t length = text.size();
      text.resize(text.capacity());
      gapStart = length;
      gapLength = text.size() - length;
    }
    MoveGap(pos);
    gapLength += count;  // the replaced units join the gap
  }
  WChar* const out = text.data() + gapStart;
  gapStart += n;
  gapLength -= n;
  return out;
}

void XmlDoc::SpliceText(size_t pos, size_t count, WStringView with) {
  Traits::copy(OpenText(pos, count, with.size()), with.data(), with.size());
}
