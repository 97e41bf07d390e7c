#include "xmldoc/xml_doc.h"

XmlDoc::XmlDoc() : elementIndex(std::make_unique<ElementIndex>()) { ParseText(nullptr); }

void XmlDoc::GrowFullIndex() {
  ElementIndex& index = *elementIndex;
  const int32_t grown = nextFreeEntry + nextFreeEntry / 2;
  if (index.capacity < grown) ReserveEntries(index, grown);
}

uint32_t XmlDoc::EndTagLength(uint32_t e) const {
  for (auto kept = longEndTags.rbegin(); kept != longEndTags.rend(); ++kept) {
    if (kept->first == e) return kept->second;
  }
  return Entry(e).EndTagLength();
}

void XmlDoc::KeepLongEndTag(uint32_t e, uint32_t n) {
  for (auto& kept : longEndTags) {
    if (kept.first == e) {
      kept.second = n;
      return;
    }
  }
  longEndTags.emplace_back(e, n);
}
