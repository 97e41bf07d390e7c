#include "xmldoc/element_index.h"

#include <algorithm>

namespace {

// Entries of storage behind a last page of `entries` entries. A page that grows past a small
// document's size gets storage for all its entries at once, so that the growth rule's many
// later steps within it copy nothing; storage that is never handed out costs address space
// only. Only whether a page has its full storage follows from `entries`, nothing else.
int32_t PageStorage(int32_t entries) { return entries > 4096 ? kPageEntries : entries; }

}  // namespace

ElementIndex::~ElementIndex() { ClearEntries(*this); }

void ReserveEntries(ElementIndex& index, int32_t n) {
  const int32_t oldLast = index.capacity > 0 ? (index.capacity - 1) >> kPageShift : 0;
  int32_t newLast = (n - 1) >> kPageShift;
  // One page at a time keeps a huge request from reserving memory that may never be used;
  // the growth rule asks again when the new page fills up.
  if (newLast > oldLast + 1) {
    newLast = oldLast + 1;
    n = (oldLast + 2) * kPageEntries;
  }

  if (index.pageSlots <= newLast) {
    const int32_t slots = 2 * newLast + 4;
    auto** pages = new ElementEntry*[slots]();
    if (index.capacity > 0) std::copy(index.pages, index.pages + oldLast + 1, pages);
    delete[] index.pages;
    index.pages = pages;
    index.pageSlots = slots;
  }

  const int32_t used = index.capacity - oldLast * kPageEntries;
  if (oldLast < newLast && PageStorage(used) < kPageEntries) {
    auto* full = new ElementEntry[kPageEntries];
    if (used > 0) std::copy(index.pages[oldLast], index.pages[oldLast] + used, full);
    delete[] index.pages[oldLast];
    index.pages[oldLast] = full;
  }

  const int32_t entries = n - newLast * kPageEntries;
  if (newLast != oldLast || used == 0) {
    index.pages[newLast] = new ElementEntry[PageStorage(entries)];
  } else if (PageStorage(used) < entries) {
    auto* last = new ElementEntry[PageStorage(entries)];
    std::copy(index.pages[oldLast], index.pages[oldLast] + used, last);
    delete[] index.pages[oldLast];
    index.pages[newLast] = last;
  }
  index.capacity = n;
}

void ClearEntries(ElementIndex& index) {
  if (index.capacity > 0) {
    const int32_t last = (index.capacity - 1) >> kPageShift;
    for (int32_t k = 0; k <= last; ++k) delete[] index.pages[k];
  }
  delete[] index.pages;
  index.pages = nullptr;
  index.capacity = 0;
  index.pageSlots = 0;
}
