#include "xmldoc/common_nodes.h"
#include "xmldoc/parser.h"
#include "xmldoc/result_log.h"
#include "xmldoc/unit_search.h"

namespace {

using namespace common_nodes;

constexpr uint32_t kNone = 0xFFFFFFFF;

// The one-unit modes of a node being opened.
enum OpenMode { OpenNone, AfterOpen, AfterBang, AfterBangDash, AfterBangBracket };

const WChar* OpenNodeType(bool inDocType, int32_t kind) {
  if (inDocType) return WTEXT("document_type");
  switch (kind) {
    case NodeElement:
      return WTEXT("start_tag");
    case NodeEndTag:
      return WTEXT("end_tag");
    case NodeCData:
      return WTEXT("cdata_section");
    case NodeProcessingInstruction:
      return WTEXT("processing_instruction");
    case NodeComment:
      return WTEXT("comment");
    default:
      return WTEXT("tag");
  }
}

}  // namespace

int32_t ScanNode(Scanner& scanner, NodeToken& node) {
  node.start = static_cast<uint32_t>(scanner.cursor);
  node.nodeFlags = 0;
  node.records.clear();
  const CommonNode found = ScanCommonNode(scanner.text, scanner.cursor);
  if (found.kind == NodeError) return ScanNodeInGeneral(scanner, node);
  if (found.kind != NodeWhitespace) {
    scanner.tokenStart = found.nameStart;
    scanner.tokenEnd = found.nameEnd - 1;
  }
  if (found.empty) node.nodeFlags |= EmptyElement;
  scanner.cursor = found.end;
  node.kind = found.kind;
  node.length = static_cast<uint32_t>(found.end) - node.start;
  return found.kind;
}

// One state machine over the units of one node. The fast loops skip runs of units that
// cannot change the state (text, white space, names, quoted values, comment bodies), which
// is exact because each of them examines precisely the units the general steps would react to.
int32_t ScanNodeInGeneral(Scanner& scanner, NodeToken& node) {
  const WChar* const t = scanner.text;
  const int32_t start = scanner.cursor;
  node.start = static_cast<uint32_t>(start);
  node.nodeFlags = 0;
  node.records.clear();

  int32_t kind = NodeError;
  const WChar* terminator = nullptr;  // null while no node is open
  int32_t terminatorLength = 0;
  OpenMode mode = OpenNone;
  bool inWhitespace = false;
  bool inDocType = false;
  bool capturing = false;  // a tag name is being read
  int32_t nameStart = 0;
  int32_t nameEnd = 0;  // the unit that ended the name; units from here on are remembered
  bool valueMayFollow = false;
  WChar quote = 0;  // the open quote character, 0 when none

  auto openNode = [&](int32_t k, const WChar* term, int32_t length) {
    kind = k;
    terminator = term;
    terminatorLength = length;
  };
  auto syntaxError = [&](const WChar* keyword) {
    AddResult(node.records, keyword, nullptr, 0, node.start, kNone);
    openNode(NodeError, WTEXT(">"), 1);
  };

  int32_t p = start;
  for (;; ++p) {
    WChar c = t[p];
    if (capturing) {
      while (!EndsName(c)) c = t[++p];
      if (c != 0) {
        scanner.tokenStart = nameStart;
        scanner.tokenEnd = p - 1;
        nameEnd = p;
        capturing = false;
      }
    }
    if (terminator != nullptr) {
      if (kind == NodeText) {
        p = FindUnit(t, p, '<', '>');
      } else if (quote != 0) {
        // A syntax error ends before a "<" even inside a quote; a tag reads on to the quote.
        p = kind == NodeError ? FindUnit(t, p, quote, '<') : FindUnit(t, p, quote);
      } else if (terminatorLength > 1 || kind == NodeEndTag) {
        p = FindUnit(t, p, '>');
      } else if (kind == NodeElement && !valueMayFollow) {
        // Outside a value only ">" and "=" act in a start tag; the units before ">" that
        // the empty-element test needs are read back by position.
        p = FindUnit(t, p, '>', '=');
      }
      c = t[p];
    } else if (inWhitespace) {
      while (IsSpace(c)) c = t[++p];
    }

    if (c == 0) {
      scanner.cursor = p;
      if (p == start) {
        node.kind = NodeEndTag;
        node.length = 0;
        return NodeEndOfText;
      }
      // A text or white-space run may end the document; anything else was left open.
      if (inWhitespace) {
        kind = NodeWhitespace;
      } else if (kind != NodeText) {
        AddResult(node.records, WTEXT("unterminated_tag_syntax"), OpenNodeType(inDocType, kind),
                  ResultType, node.start, kNone);
        kind = NodeError;
      }
      break;
    }

    if (terminator != nullptr) {
      if (c == '>' && quote == 0) {
        bool ends = true;
        if (terminatorLength == 1) {
          if (kind == NodeElement && EndsEmpty(t, p, nameEnd)) node.nodeFlags |= EmptyElement;
        } else {
          // Compared against absolute offsets: "<?>" at offset 0 is too short to end.
          ends = p > terminatorLength;
          for (int32_t i = 0; ends && i < terminatorLength - 1; ++i) {
            ends = t[p - terminatorLength + 1 + i] == terminator[i];
          }
        }
        if (ends) {
          if (inDocType) {
            // An inner declaration ended; the document type goes on.
            terminator = nullptr;
            terminatorLength = 0;
            kind = NodeError;
            valueMayFollow = false;
            continue;
          }
          scanner.cursor = p + 1;
          break;
        }
        continue;
      }
      if (c == '<' && (kind == NodeText || kind == NodeError)) {
        scanner.cursor = p;
        break;
      }
      if (kind == NodeElement || kind == NodeError) {
        if (quote != 0) {
          if (c == quote) quote = 0;
        } else if (c == '=') {
          // An "=" announces a value unless it follows another "=" at once (read from the
          // text, so the skips above need not remember it); after white space it does.
          valueMayFollow = t[p - 1] != '=';
        } else if (valueMayFollow) {
          // After "=" only white space may come before a quoted value; any other unit makes
          // the value unquoted.
          if (c == '"' || c == '\'') {
            quote = c;
            valueMayFollow = false;
          } else if (!IsWhitespace(c)) {
            valueMayFollow = false;
          }
        }
      } else if (kind == NodeDocumentType) {
        if (c == '"' || c == '\'') {
          if (quote == 0) {
            quote = c;
          } else if (quote == c) {
            quote = 0;
          }
        }
      }
      continue;
    }

    if (mode != OpenNone || inDocType) {
      const OpenMode was = mode;
      mode = OpenNone;
      switch (was) {
        case AfterOpen:
          if (StartsTagName(c)) {
            openNode(NodeElement, WTEXT(">"), 1);
            capturing = true;
            nameStart = p;
            // The first unit is part of the name; capture goes on from the next one.
            continue;
          }
          if (c == '/') {
            openNode(NodeEndTag, WTEXT(">"), 1);
          } else if (c == '?') {
            openNode(NodeProcessingInstruction, WTEXT("?>"), 2);
          } else if (c == '!') {
            mode = AfterBang;
            continue;
          } else {
            syntaxError(WTEXT("first_tag_syntax"));
            continue;
          }
          capturing = true;
          nameStart = p + 1;
          break;
        case AfterBang:
          if (c == '-') {
            mode = AfterBangDash;
          } else if (!inDocType) {
            if (c == '[') {
              mode = AfterBangBracket;
            } else if (c == 'D') {
              inDocType = true;
            } else {
              syntaxError(WTEXT("exclamation_tag_syntax"));
            }
          } else if (c == 'E' || c == 'A' || c == 'N') {
            openNode(NodeDocumentType, WTEXT(">"), 1);
          } else {
            syntaxError(WTEXT("doctype_tag_syntax"));
          }
          break;
        case AfterBangDash:
          if (c == '-') {
            openNode(NodeComment, WTEXT("-->"), 3);
          } else {
            syntaxError(WTEXT("comment_tag_syntax"));
          }
          break;
        case AfterBangBracket:
          if (c == 'C') {
            openNode(NodeCData, WTEXT("]]>"), 3);
          } else {
            syntaxError(WTEXT("cdata_section_syntax"));
          }
          break;
        case OpenNone:  // inside a document type, between its inner nodes
          if (c == '<') {
            mode = AfterOpen;
          } else if (c == '>') {
            scanner.cursor = p + 1;
            kind = NodeDocumentType;
            goto finish;
          }
          break;
      }
      continue;
    }

    if (inWhitespace) {
      if (c == '<') {
        scanner.cursor = p;
        kind = NodeWhitespace;
        break;
      }
      inWhitespace = false;  // not white space: the run is text after all
      openNode(NodeText, WTEXT(">"), 1);
      continue;
    }

    if (c == '<') {
      mode = AfterOpen;
    } else if (IsWhitespace(c)) {
      inWhitespace = true;
    } else {
      openNode(NodeText, WTEXT(">"), 1);
    }
  }

finish:
  node.kind = kind;
  node.length = static_cast<uint32_t>(scanner.cursor - start);
  return kind;
}
