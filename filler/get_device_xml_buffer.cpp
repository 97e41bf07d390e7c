// The export that answers with one device category's template, filled from the provider.

#include <cstdint>
#include <utility>

#include "dll/velmora.h"
#include "filler/template_fill.h"
#include "filler/template_path.h"
#include "platform/host_path.h"
#include "xmldoc/text_file.h"
#include "xmldoc/xml_doc.h"

namespace velmora {
namespace {

struct TemplateEntry {
  int32_t category;
  const WChar* fileName;
  FillOutcome (*fill)(XmlDoc&);  // null: the template is returned as loaded
};

constexpr TemplateEntry kTemplates[] = {
    {0, WTEXT("list.xml"), nullptr},
    {5001, WTEXT("os.xml"), FillOsTemplate},
    {5002, WTEXT("bios.xml"), FillBiosTemplate},
    {5003, WTEXT("storage.xml"), FillStorageTemplate},
    {5004, WTEXT("video.xml"), FillVideoTemplate},
    {5005, WTEXT("network.xml"), FillNetworkTemplate},
    {5006, WTEXT("control.xml"), FillControlTemplate},
};

// Every category without a template of its own, negative codes included.
constexpr TemplateEntry kOtherTemplate = {5007, WTEXT("other.xml"), FillOtherTemplate};

const TemplateEntry& TemplateFor(int32_t category) {
  for (const TemplateEntry& entry : kTemplates) {
    if (entry.category == category) return entry;
  }
  return kOtherTemplate;
}

}  // namespace
}  // namespace velmora

int GetDeviceXMLBuffer(int category, WString& out) {
  using namespace velmora;
  const TemplateEntry& entry = TemplateFor(category);
  const WString path = TemplatePath(platform::HostProgramPath(), entry.fileName);
  if (path.empty()) return -1;

  XmlDoc doc;
  WString text;
  if (!LoadTextFile(path.c_str(), text, &doc.resultLog, &doc.flags)) return -1;
  doc.SetText(text);
  if (!doc.ParseDocument()) return -1;
  if (entry.fill != nullptr && entry.fill(doc) == FillOutcome::kNoDocument) return 0;
  // A value or a copy that did not fit left the document short of what the template asks
  // for: the caller gets no document rather than a different one.
  if (doc.MetLimit()) return -1;

  out = std::move(doc).TakeText();
  return 0;
}
