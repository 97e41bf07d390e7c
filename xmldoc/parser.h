#pragma once
// The node scanner that the parser, markup insertion and the declared-encoding search share.

#include <cstdint>

#include "base/text.h"
#include "xmldoc/scanner.h"

class XmlDoc;

// Kinds of node that ScanNode finds.
enum NodeKind : int32_t {
  NodeEndTag = 0,
  NodeElement = 1,
  NodeText = 2,
  NodeWhitespace = 4,
  NodeCData = 8,
  NodeProcessingInstruction = 16,
  NodeComment = 32,
  NodeDocumentType = 64,
  NodeError = -1,
  NodeEndOfText = -2,
};

// Bits of NodeToken::nodeFlags.
enum NodeFlag : uint32_t {
  EmptyElement = 0x10000,  // the start tag ended with "/>"
};

// One node found by ScanNode. Reused from node to node, so `records` keeps its storage.
struct NodeToken {
  int32_t kind = NodeEndOfText;
  uint32_t start = 0;
  uint32_t length = 0;
  uint32_t nodeFlags = 0;
  WString records;  // result records made while scanning this node only
};

// Scans one node from the cursor and returns its kind; afterwards the cursor is just past
// the node and, for tags and processing instructions, the token is the tag name.
int32_t ScanNode(Scanner& scanner, NodeToken& node);

// ScanNode without the dedicated loops for common nodes: the general machine alone, which
// must give exactly the same results. For tests and fuzz targets.
int32_t ScanNodeInGeneral(Scanner& scanner, NodeToken& node);

// XmlDoc::ParseElements with every node scanned by the general machine alone, which must
// build exactly the same entries and records. For tests and fuzz targets.
uint32_t ParseElementsInGeneral(XmlDoc& doc, uint32_t parseRoot, Scanner& scanner);

// The encoding named by the XML declaration at the start of `text` (zero-terminated) or by
// an HTML meta tag before the end of its head; empty when there is none.
WString FindDeclaredEncoding(const WChar* text);
