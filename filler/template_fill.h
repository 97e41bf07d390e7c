#pragma once
// The fill procedure of each template, run on a loaded and parsed document.

#include "xmldoc/xml_doc.h"

namespace velmora {

// What a fill procedure leaves for the caller.
enum class FillOutcome {
  kDocument,    // the document (filled or not) is the answer
  kNoDocument,  // nothing is returned and the caller's string stays as it was
};

// os.xml: computer, registration and operating system from the one OSInfo record; returned
// unfilled when the provider has none.
FillOutcome FillOsTemplate(XmlDoc& doc);
// bios.xml: processor, mainboard and BIOS; kNoDocument when the provider has no BIOSInfo.
FillOutcome FillBiosTemplate(XmlDoc& doc);
// storage.xml: memory summary, one category per memory module and per storage device.
FillOutcome FillStorageTemplate(XmlDoc& doc);
// video.xml: one category per video adapter and per monitor.
FillOutcome FillVideoTemplate(XmlDoc& doc);
// network.xml: one category per network adapter.
FillOutcome FillNetworkTemplate(XmlDoc& doc);
// control.xml: one category per system controller.
FillOutcome FillControlTemplate(XmlDoc& doc);
// other.xml: input devices (numbered in turn), modems, printers and system slots.
FillOutcome FillOtherTemplate(XmlDoc& doc);

}  // namespace velmora
