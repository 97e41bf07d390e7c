// The log is kept as XML and edited with the engine itself: it is parsed into a temporary
// document, the record is appended (or found, in update mode) and its attributes written,
// and the document's text becomes the log again.

#include "xmldoc/result_log.h"

#include "pairs/format_number.h"
#include "xmldoc/xml_doc.h"

namespace {

constexpr uint32_t kNone = 0xFFFFFFFF;

const WChar* TextAttributeName(uint32_t flags) {
  if (flags & ResultType) return WTEXT("type");
  if (flags & ResultEncoding) return WTEXT("encoding");
  if (flags & ResultMsg) return WTEXT("msg");
  return WTEXT("tagname");
}

// Null when the number is an offset and there is none.
const WChar* NumberAttributeName(uint32_t flags, uint32_t number) {
  if (flags & ResultN) return WTEXT("n");
  if (flags & ResultCount) return WTEXT("count");
  if (flags & ResultLength) return WTEXT("length");
  return number != kNone ? WTEXT("offset") : nullptr;
}

WString Decimal(uint32_t number) {
  WChar buffer[16];
  FormatNumber(buffer, WTEXT("%d"), static_cast<int32_t>(number));
  return buffer;
}

}  // namespace

void AddResult(WString& log, const WChar* keyword, const WChar* text, uint32_t flags,
               uint32_t number, uint32_t number2) {
  // Tested before each record, so the last one may carry the log past the limit.
  if (log.size() >= kResultLogLimit) return;

  // The temporary document's own records (several records are several roots) are dropped
  // with it.
  XmlDoc doc;
  doc.ParseText(log.c_str());
  if (flags & ResultUpdate) {
    // Without a record of that name nothing is current, and the writes below change nothing.
    doc.FindElement(keyword);
  } else {
    doc.InsertElement(keyword);
  }

  const uint32_t record = doc.mainPos;
  if (text != nullptr) doc.WriteAttribute(record, TextAttributeName(flags), text);
  if (const WChar* name = NumberAttributeName(flags, number)) {
    doc.WriteAttribute(record, name, Decimal(number).c_str());
  }
  if (number2 != kNone) doc.WriteAttribute(record, WTEXT("offset2"), Decimal(number2).c_str());
  log = std::move(doc).TakeText();
}
