#pragma once
// The machine's inventory in the fleet inventory format, as `export` prints it and `send` posts it.

#include <string>

#include "cli/commands.h"
#include "fleet/delivery.h"

namespace velmora::cli {

// The document for this machine now, or for the replayed profile, as indented JSON text ending
// in a line break; `deviceId` empty: the default one (DefaultDeviceId); `tag` empty: no tag.
std::string GlpiExportText(const Context& context, const std::string& deviceId,
                           const std::string& tag = {});

// The same inventory as OCS Inventory's XML document, ending in a line break.
std::string OcsExportText(const std::string& deviceId, const std::string& tag = {});

// The inventory in `format`: GlpiExportText or OcsExportText.
std::string ExportText(const Context& context, fleet::DeliveryFormat format,
                       const std::string& deviceId, const std::string& tag = {});

}  // namespace velmora::cli
