// The MonitorList reader on Linux: displays on the graphics connectors, from their EDID.

#include "harnel/linux/monitor.h"

#include "harnel/decode/put_fields.h"
#include "harnel/linux/drm.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {

nlohmann::json ProbeMonitorList(const std::filesystem::path& root, SourceFact& listing) {
  DisposableJson list = nlohmann::json::array();
  for (const DrmConnector& connector : ReadConnectedDisplays(root, &listing)) {
    DisposableJson node = nlohmann::json::object();
    if (connector.edid) {
      std::optional<std::string> maker = decode::PnpVendorName(connector.edid->manufacturerId);
      decode::PutText(node, "manufacturer", maker ? maker : connector.edid->manufacturerId);
      decode::PutText(node, "monitorType", connector.edid->name);
    }
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainMonitorList(const SourceFact& listing, findings::Reasons& why) {
  why.Absent(WhyNoNode(listing, "no display connected"));
  why.EveryNode("manufacturer", "the display gives no EDID");
  why.EveryNode("monitorType", "the display's EDID gives no name");
}

}  // namespace harnel::linux
