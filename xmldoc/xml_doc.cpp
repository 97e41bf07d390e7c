#include "xmldoc/xml_doc.h"

XmlDoc::XmlDoc() : elementIndex(std::make_unique<ElementIndex>()) { ParseText(nullptr); }

void XmlDoc::GrowFullIndex() {
  ElementIndex& index = *elementIndex;
  const int32_t grown = nextFreeEntry + nextFreeEntry / 2;
  if (index.capacity < grown) ReserveEntries(index, grown);
}
