#include "xmldoc/result_log.h"

#include "pairs/format_number.h"
#include "xmldoc/escaping.h"
#include "xmldoc/parser.h"
#include "xmldoc/scanner.h"

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

const WChar* TextAttributeName(uint32_t flags) {
  if (flags & ResultType) return WTEXT("type");
  if (flags & ResultEncoding) return WTEXT("encoding");
  if (flags & ResultMsg) return WTEXT("msg");
  return WTEXT("tagname");
}

const WChar* NumberAttributeName(uint32_t flags) {
  if (flags & ResultN) return WTEXT("n");
  if (flags & ResultCount) return WTEXT("count");
  if (flags & ResultLength) return WTEXT("length");
  return WTEXT("offset");
}

WString Decimal(uint32_t number) {
  WChar buffer[16];
  FormatNumber(buffer, WTEXT("%d"), static_cast<int32_t>(number));
  return buffer;
}

struct Attribute {
  const WChar* name;
  WString value;  // escaped
};

// The attributes a record carries, in the order they are written.
int CollectAttributes(const WChar* text, uint32_t flags, uint32_t number, uint32_t number2,
                      Attribute (&out)[3]) {
  int n = 0;
  if (text != nullptr) out[n++] = {TextAttributeName(flags), EscapeText(text)};
  const WChar* numberName = NumberAttributeName(flags);
  const bool isOffset = (flags & (ResultN | ResultCount | ResultLength)) == 0;
  if (!isOffset || number != kNone) out[n++] = {numberName, Decimal(number)};
  if (number2 != kNone) out[n++] = {WTEXT("offset2"), Decimal(number2)};
  return n;
}

// Sets one attribute of the record whose "<" is at `start`: replaces its value, quotes
// included, or adds it after the last attribute.
void SetAttribute(WString& log, size_t start, const Attribute& attribute) {
  Scanner scanner;
  scanner.text = log.c_str();
  scanner.cursor = static_cast<int32_t>(start) + 1;
  WString quoted(1, '"');
  quoted.append(attribute.value).push_back('"');
  if (FindAttribute(scanner, attribute.name)) {
    size_t from = scanner.tokenStart;
    size_t to = scanner.tokenEnd + 1;
    if (scanner.scanFlags & QuotedToken) {
      --from;
      if (log[to] != 0) ++to;
    }
    log.replace(from, to - from, quoted);
  } else {
    WString added(1, ' ');
    added.append(attribute.name).append(1, '=').append(quoted);
    log.insert(scanner.cursor, added);
  }
}

// Offset of the first top-level record named `keyword`, or npos.
size_t FindRecord(const WString& log, const WChar* keyword) {
  Scanner scanner;
  scanner.text = log.c_str();
  NodeToken node;
  int depth = 0;
  for (int32_t kind; (kind = ScanNode(scanner, node)) != NodeEndOfText;) {
    if (kind == NodeElement) {
      if (depth == 0) {
        Scanner name = scanner;
        name.cursor = node.start + 1;
        if (NextWord(name) && TokenEquals(name, keyword)) return node.start;
      }
      if (!(node.nodeFlags & EmptyElement)) ++depth;
    } else if (kind == NodeEndTag && depth > 0) {
      --depth;
    }
  }
  return WString::npos;
}

}  // namespace

void AddResult(WString& log, const WChar* keyword, const WChar* text, uint32_t flags,
               uint32_t number, uint32_t number2) {
  if (log.size() >= kResultLogLimit) return;
  Attribute attributes[3];
  const int count = CollectAttributes(text, flags, number, number2, attributes);

  if (flags & ResultUpdate) {
    const size_t start = FindRecord(log, keyword);
    if (start == WString::npos) return;
    for (int i = 0; i < count; ++i) SetAttribute(log, start, attributes[i]);
    return;
  }

  log += '<';
  log += keyword;
  for (int i = 0; i < count; ++i) {
    log += ' ';
    log += attributes[i].name;
    log += WTEXT("=\"");
    log += attributes[i].value;
    log += '"';
  }
  log += WTEXT("/>");
}
