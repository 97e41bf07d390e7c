// Fuzz target for the parser: arbitrary input is parsed twice (its bytes read as UTF-16 in
// little-endian pairs, and each byte widened to one unit), then the element index is checked
// against the text and every element is navigated and read. A broken invariant aborts, and
// so does any difference between the fast paths and the general machine.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/text.h"
#include "fuzz/same_parse.h"
#include "xmldoc/escaping.h"
#include "xmldoc/index_check.h"
#include "xmldoc/parser.h"
#include "xmldoc/result_log.h"
#include "xmldoc/xml_doc.h"

namespace {

void Require(const XmlDoc& doc, const char* step) {
  const std::string error = CheckElementIndex(doc);
  if (error.empty()) return;
  std::fprintf(stderr, "index invariant broken after %s: %s\n", step, error.c_str());
  std::abort();
}

// The dedicated loops for common nodes must give exactly what the general machine gives.
void CompareNodeScanners(const WString& text) {
  Scanner fast;
  fast.text = text.c_str();
  NodeToken a;
  NodeToken b;
  for (;;) {
    Scanner general = fast;
    const int32_t kind = ScanNode(fast, a);
    const int32_t generalKind = ScanNodeInGeneral(general, b);
    if (kind != generalKind || a.kind != b.kind || a.start != b.start || a.length != b.length ||
        a.nodeFlags != b.nodeFlags || a.records != b.records || fast.cursor != general.cursor ||
        fast.tokenStart != general.tokenStart || fast.tokenEnd != general.tokenEnd) {
      std::fprintf(stderr, "node scanners differ at offset %u\n", a.start);
      std::abort();
    }
    if (kind == NodeEndOfText) return;
  }
}

// The parser with the common nodes scanned in line must build exactly what the general machine
// alone builds.
void CompareParsers(const WString& text, uint32_t scanFlags) {
  const std::string difference = DifferenceOfParses(text, scanFlags);
  if (difference.empty()) return;
  std::fprintf(stderr, "parsers differ in %s (scan flags %u)\n", difference.c_str(), scanFlags);
  std::abort();
}

// Reads every element the way the template filler does, to run the readers over whatever
// the parser made of the input.
void ReadEverything(XmlDoc& doc) {
  for (int32_t e = 1; e < doc.nextFreeEntry; ++e) {
    if (doc.Entry(e).entryFlags == Released) continue;
    doc.mainPos = static_cast<uint32_t>(e);
    doc.nodeKind = 1;
    doc.ReadAttribute(WTEXT("name"));
    doc.ReadAttribute(WTEXT("value"));
    doc.ElementName(static_cast<uint32_t>(e));
    doc.ElementMarkup();
  }
  doc.ResetPosition();
  int steps = 0;
  while (doc.FindChildElement(WTEXT("category")) && ++steps < 64) {
    doc.EnterElement();
    while (doc.FindChildElement(nullptr) && ++steps < 64) doc.ReadChildAttribute(WTEXT("id"));
    doc.LeaveElement();
  }
}

void Exercise(const WString& text) {
  CompareNodeScanners(text);
  CompareParsers(text, 0);
  CompareParsers(text, IgnoreCase);
  XmlDoc doc;
  doc.SetText(text);
  doc.ParseDocument();
  Require(doc, "ParseDocument");
  ReadEverything(doc);

  XmlDoc copy;
  copy.ParseText(text.c_str());  // stops at the first zero unit
  Require(copy, "ParseText");

  FindDeclaredEncoding(text.c_str());
  UnescapeText(text.data(), static_cast<int32_t>(text.size()));
  WString log;
  AddResult(log, WTEXT("lone_end_tag"), text.c_str(), 0, 1, 2);
  AddResult(log, WTEXT("lone_end_tag"), text.c_str(), ResultUpdate | ResultType, 3, 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WString pairs(size / 2, 0);
  for (size_t i = 0; i < pairs.size(); ++i) {
    pairs[i] = static_cast<WChar>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  Exercise(pairs);
  Exercise(WString(data, data + size));
  return 0;
}
