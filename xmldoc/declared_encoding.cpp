#include "xmldoc/parser.h"

namespace {

// Takes the word at `offset` (after white space) as the token; false when there is none.
bool WordAt(Scanner& scanner, uint32_t offset) {
  scanner.cursor = static_cast<int32_t>(offset);
  return NextWord(scanner);
}

// For a Content-Type meta tag, sets `result` to the charset its content names (if any) and
// returns true: the search ends there. Any other meta tag is passed over (false).
bool ReadMetaCharset(Scanner& scanner, const NodeToken& node, WString& result) {
  scanner.cursor = static_cast<int32_t>(node.start) + 1;
  if (!FindAttribute(scanner, WTEXT("http-equiv")) ||
      !TokenEquals(scanner, WTEXT("Content-Type"))) {
    return false;  // not the meta tag that names a charset: passed over
  }
  scanner.cursor = static_cast<int32_t>(node.start) + 1;
  if (!FindAttribute(scanner, WTEXT("content"))) return true;
  // The words are those of the value: each is taken only while the cursor is still before
  // where the search left it, so a value that runs out after "charset" or "=" names nothing.
  const int32_t limit = scanner.cursor;
  scanner.cursor = scanner.tokenStart;
  const auto nextWord = [&] { return scanner.cursor < limit && NextWord(scanner); };
  while (nextWord()) {
    if (!TokenEquals(scanner, WTEXT("charset"))) continue;
    if (!nextWord() || !TokenEquals(scanner, WTEXT("="))) continue;
    if (nextWord()) result = TokenText(scanner);
    return true;
  }
  return true;
}

}  // namespace

WString FindDeclaredEncoding(const WChar* text) {
  Scanner scanner;
  scanner.text = text;
  scanner.scanFlags = IgnoreCase;
  NodeToken node;  // its records are discarded
  WString result;
  bool inHtml = false;

  for (int32_t kind; (kind = ScanNode(scanner, node)) >= 0;) {
    const int32_t next = scanner.cursor;
    if (kind == NodeProcessingInstruction && node.start == 0) {
      // Only the XML declaration ends the search; another instruction is passed over.
      if (WordAt(scanner, 2) && TokenEquals(scanner, WTEXT("xml"))) {
        if (FindAttribute(scanner, WTEXT("encoding"))) result = TokenText(scanner);
        return result;
      }
    }
    if (kind == NodeEndTag) {
      if (WordAt(scanner, node.start + 2) && TokenEquals(scanner, WTEXT("head"))) return result;
    } else if (kind == NodeElement) {
      WordAt(scanner, node.start + 1);
      if (!inHtml) {
        if (!TokenEquals(scanner, WTEXT("html"))) return result;
        inHtml = true;
      } else if (TokenEquals(scanner, WTEXT("meta"))) {
        if (ReadMetaCharset(scanner, node, result)) return result;
      }
    }
    scanner.cursor = next;
  }
  return result;
}
