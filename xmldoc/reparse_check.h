#pragma once
// A check of an edited document's index against a fresh parse of its text, for tests and
// fuzz targets: edits repair the index arithmetically and must land where a parse would.

#include <string>

class XmlDoc;

// Parses a copy of the text and walks both trees in document order; describes the first
// element whose offsets, tag lengths, level, flags or links differ, empty when none does.
// When the fresh parse has to repair the text (anything ill-formed but the number of roots)
// nothing is compared: `comparable` (if given) is set to false and the result is empty.
std::string CompareWithFreshParse(const XmlDoc& doc, bool* comparable = nullptr);
