// The document's text with a gap at the point of editing. A fill writes one value after
// another from the start of the document to its end; with the gap following the writes,
// each splice moves only the units since the one before, where moving the whole tail at
// every write made a fill cost the square of the document.

#include "xmldoc/xml_doc.h"

namespace {

using Traits = std::char_traits<WChar>;

}  // namespace

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
    RegrowText(pos, count, size + size / 2 + 128);
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
