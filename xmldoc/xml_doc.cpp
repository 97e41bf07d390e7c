#include "xmldoc/xml_doc.h"

#include <algorithm>

XmlDoc::XmlDoc() : elementIndex(std::make_unique<ElementIndex>()) { ParseText(nullptr); }

void XmlDoc::GrowFullIndex() {
  ElementIndex& index = *elementIndex;
  const int32_t grown = nextFreeEntry + nextFreeEntry / 2;
  if (index.capacity < grown) ReserveEntries(index, grown);
}

namespace {

// The kept pair of entry `e` in `kept`, or its end.
template <typename Pairs>
auto FindKept(Pairs& kept, uint32_t e) {
  return std::find_if(kept.begin(), kept.end(), [e](const auto& pair) { return pair.first == e; });
}

}  // namespace

uint32_t XmlDoc::EndTagLength(uint32_t e) const {
  const auto kept = FindKept(longEndTags, e);
  return kept != longEndTags.end() ? kept->second : Entry(e).EndTagLength();
}

void XmlDoc::KeepLongEndTag(uint32_t e, uint32_t n) {
  const auto kept = FindKept(longEndTags, e);
  if (kept != longEndTags.end()) {
    kept->second = n;
  } else {
    longEndTags.emplace_back(e, n);
  }
}
