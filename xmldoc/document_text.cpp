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
  text.SetSize(size);  // keeps the storage
}

WStringView XmlDoc::Text() const {
  CloseGap();
  return WStringView(text.data(), text.size());
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

WChar* XmlDoc::CopyText(WChar* out, size_t from, size_t to) const {
  const WChar* const data = text.data();
  if (to <= gapStart) return std::copy(data + from, data + to, out);
  if (from >= gapStart) return std::copy(data + from + gapLength, data + to + gapLength, out);
  out = std::copy(data + from, data + gapStart, out);
  return std::copy(data + gapStart + gapLength, data + to + gapLength, out);
}

WString XmlDoc::TextRange(size_t from, size_t to) const {
  WString out;
  out.reserve(to - from);
  AppendText(out, from, to);
  return out;
}

WString XmlDoc::DocumentText() const { return TextRange(0, TextLength()); }

void XmlDoc::LoadText(const WChar* source, size_t n, size_t headroom) {
  if (n > text.capacity()) {
    TextBuffer loaded(n + headroom);
    Traits::copy(loaded.data(), source, n);
    text.swap(loaded);
  } else {
    Traits::move(text.data(), source, n);  // the source may be this very text
  }
  text.SetSize(n);
  gapStart = n;
  gapLength = 0;
}

void XmlDoc::SetText(WStringView newText) { LoadText(newText.data(), newText.size(), 0); }

WString XmlDoc::TakeText() && {
  CloseGap();
  WString out(text.data(), text.size());
  text.SetSize(0);
  gapStart = 0;
  return out;
}

void XmlDoc::RegrowText(size_t pos, size_t count, size_t capacity) {
  // Only the kept text is copied: neither what the edit replaces nor the gap.
  const size_t length = TextLength();
  const size_t tail = length - pos - count;
  TextBuffer grown(capacity);
  CopyText(grown.data(), 0, pos);
  CopyText(grown.data() + capacity - tail, pos + count, length);
  grown.SetSize(capacity);
  text.swap(grown);
  gapStart = pos;
  gapLength = capacity - (length - count);
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
      // The storage beyond the text becomes the gap, as it is: the edit writes what it needs.
      const size_t length = text.size();
      text.SetSize(text.capacity());
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
