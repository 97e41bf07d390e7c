#include "harnel/probe/probe_monitor.h"

#include "harnel/probe/drm.h"
#include "harnel/probe/record_json.h"

namespace harnel::probe {

nlohmann::json ProbeMonitorList(const std::filesystem::path& root) {
  DisposableJson list = nlohmann::json::array();
  for (const DrmConnector& connector : ReadConnectedDisplays(root)) {
    DisposableJson node = nlohmann::json::object();
    if (connector.edid) {
      std::optional<std::string> maker = PnpVendorName(connector.edid->manufacturerId);
      PutText(node, "manufacturer", maker ? maker : connector.edid->manufacturerId);
      PutText(node, "monitorType", connector.edid->name);
    }
    list.push_back(std::move(node));
  }
  return ListOrNull(std::move(list));
}

}  // namespace harnel::probe
