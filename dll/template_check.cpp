// The inventory library's functions added in ABI 1.1: a template file checked as a template
// is loaded. Plain C over UTF-16, the texts given out freed with VelmoraFreeText, and nothing
// thrown across.

#include <cstdlib>
#include <cstring>
#include <new>

#include "dll/velmora.h"
#include "xmldoc/text_file.h"
#include "xmldoc/xml_doc.h"

namespace {

// A copy of `text` that VelmoraFreeText releases; null when there is no memory for it.
WChar* GiveText(const WString& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(WChar);
  auto* copy = static_cast<WChar*>(std::malloc(bytes));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), bytes);
  return copy;
}

}  // namespace

extern "C" int VelmoraCheckTemplate(const WChar* path, WChar** log) {
  if (log != nullptr) *log = nullptr;
  if (path == nullptr) return VELMORA_CHECK_BAD_REQUEST;
  try {
    // A file that cannot be read is not parsed, as the template filler gives up on it too.
    XmlDoc doc;
    WString text;
    const bool loaded = LoadTextFile(path, text, &doc.resultLog, &doc.flags);
    doc.SetText(std::move(text));
    const bool wellFormed = loaded && doc.ParseDocument();
    if (log != nullptr) {
      *log = GiveText(doc.resultLog);
      if (*log == nullptr) return VELMORA_CHECK_FAILED;
    }
    return wellFormed ? VELMORA_CHECK_WELL_FORMED : VELMORA_CHECK_ILL_FORMED;
  } catch (...) {
    return VELMORA_CHECK_FAILED;
  }
}

extern "C" void VelmoraFreeText(WChar* text) { std::free(text); }
