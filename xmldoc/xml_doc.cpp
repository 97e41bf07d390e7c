#include "xmldoc/xml_doc.h"

XmlDoc::XmlDoc() : elementIndex(std::make_unique<ElementIndex>()) { ParseText(nullptr); }

uint32_t XmlDoc::AllocateEntry() {
  ElementIndex& index = *elementIndex;
  const int32_t grown = nextFreeEntry + nextFreeEntry / 2;
  if (nextFreeEntry == index.capacity && index.capacity < grown) ReserveEntries(index, grown);
  return static_cast<uint32_t>(nextFreeEntry++);
}
