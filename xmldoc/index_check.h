#pragma once
// A check of the element index against the text, for tests and fuzz targets.

#include <string>

class XmlDoc;

// Describes the first broken invariant of the document's index (links, flags, levels,
// children inside their parent and in order, offsets inside the text); empty when none is.
std::string CheckElementIndex(const XmlDoc& doc);
