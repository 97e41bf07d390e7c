// os.xml and bios.xml: single records filled in place; the shape of the template never
// changes.

#include "filler/category_walk.h"
#include "filler/fill_tables.h"
#include "filler/template_fill.h"
#include "provider/record_guard.h"

namespace velmora {

FillOutcome FillOsTemplate(XmlDoc& doc) {
  // One record serves every category of the walk.
  RecordGuard<OSInfo, GetOS, FreeOS> os;
  if (!os) return FillOutcome::kDocument;
  WalkCategories(doc, [&os](XmlDoc& d, const WString& id) {
    if (id == WTEXT("500101")) {
      FillItems<OSInfo>(d, kComputerTable, *os.get());
    } else if (id == WTEXT("500102")) {
      FillItems<OSInfo>(d, kOperatingSystemTable, *os.get());
    }
  });
  return FillOutcome::kDocument;
}

FillOutcome FillBiosTemplate(XmlDoc& doc) {
  // Held for the whole walk, so a processor record coexists with it.
  RecordGuard<BIOSInfo, GetBIOS, FreeBIOS> bios;
  if (!bios) return FillOutcome::kNoDocument;
  WalkCategories(doc, [&bios](XmlDoc& d, const WString& id) {
    if (id == WTEXT("500201")) {
      // Fetched afresh for every processor category.
      RecordGuard<ProcessorInfo, GetProcessor, FreeProcessor> processor;
      if (processor) FillItems<ProcessorInfo>(d, kProcessorTable, *processor.get());
    } else if (id == WTEXT("500202")) {
      FillItems<BIOSInfo>(d, kMainboardTable, *bios.get());
    } else if (id == WTEXT("500203")) {
      FillItems<BIOSInfo>(d, kBiosTable, *bios.get());
    }
  });
  return FillOutcome::kDocument;
}

}  // namespace velmora
