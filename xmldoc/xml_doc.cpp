#include "xmldoc/xml_doc.h"

#include <algorithm>
#include <new>

#include "xmldoc/result_log.h"

XmlDoc::XmlDoc() : elementIndex(std::make_unique<ElementIndex>()) { ParseText(nullptr); }

void XmlDoc::GrowFullIndex() {
  // No index of the engine's documents comes near this; one that did would hold 64 GiB of
  // entries, and one more is as far out of reach as memory that is not there.
  if (nextFreeEntry == INT32_MAX) throw std::bad_alloc();
  ElementIndex& index = *elementIndex;
  const auto grown = static_cast<int32_t>(
      std::min<int64_t>(int64_t{nextFreeEntry} + nextFreeEntry / 2, INT32_MAX));
  if (index.capacity < grown) ReserveEntries(index, grown);
}

bool XmlDoc::RefuseAtLimit(const WChar* keyword, size_t offset, size_t offset2) {
  metLimit = true;
  AddResult(resultLog, keyword, nullptr, 0, static_cast<uint32_t>(offset),
            static_cast<uint32_t>(offset2));
  return false;
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
