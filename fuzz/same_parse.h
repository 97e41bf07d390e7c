#pragma once
// The parser scans common nodes in line and matches end tags against the innermost name first;
// the general machine alone must build exactly the same entries, records and scanner state. The
// fuzz target holds the two to that, and so does the parser's test.

#include <cstdint>
#include <cstring>
#include <string>

#include "base/text.h"
#include "xmldoc/parser.h"
#include "xmldoc/xml_doc.h"

// Where the parse of `text` with the common nodes scanned in line differs from the general
// machine's: empty when the two agree on everything.
inline std::string DifferenceOfParses(const WString& text, uint32_t scanFlags) {
  XmlDoc fast;
  XmlDoc general;
  fast.SetText(text);
  general.SetText(text);
  Scanner a;
  a.text = fast.Text().data();
  a.scanFlags = scanFlags;
  Scanner b = a;
  b.text = general.Text().data();
  const uint32_t firstA = fast.ParseElements(0, a);
  const uint32_t firstB = ParseElementsInGeneral(general, 0, b);
  if (firstA != firstB) return "the first element";
  if (fast.resultLog != general.resultLog) return "the records";
  if (a.cursor != b.cursor || a.tokenStart != b.tokenStart || a.tokenEnd != b.tokenEnd) {
    return "the scanner's cursor or token";
  }
  if (fast.nextFreeEntry != general.nextFreeEntry) return "the number of entries";
  for (int32_t e = 0; e < fast.nextFreeEntry; ++e) {
    const ElementEntry x = fast.Entry(e);
    const ElementEntry y = general.Entry(e);
    if (std::memcmp(&x, &y, sizeof(ElementEntry)) != 0 ||
        fast.EndTagLength(static_cast<uint32_t>(e)) !=
            general.EndTagLength(static_cast<uint32_t>(e))) {
      return "entry " + std::to_string(e);
    }
  }
  return "";
}
