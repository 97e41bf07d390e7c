// MonitorNode from the monitors in the device installation database and the EDID each one's
// device key keeps.

#include "harnel/decode/edid.h"
#include "harnel/decode/put_fields.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {

// Where the monitor's EDID names it, as on Linux; else what the database says, which is what
// the desktop-monitor class reports ("(Standard monitor types)", "Generic PnP Monitor").
nlohmann::json ParseMonitorList(const nlohmann::json& raw) {
  DisposableJson list = nlohmann::json::array();
  for (const nlohmann::json& device : RawRows(raw, "devices")) {
    const std::optional<decode::Edid> edid =
        decode::ParseEdid(RawBytes(RawObject(device, "device"), "EDID"));
    std::optional<std::string> maker, model;
    if (edid) {
      maker = decode::PnpVendorName(edid->manufacturerId);
      if (!maker) maker = edid->manufacturerId;
      model = edid->name;
    }
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "manufacturer", maker ? maker : RawText(device, "Mfg"));
    decode::PutText(node, "monitorType", model ? model : RawText(device, "DeviceDesc"));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainMonitorList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no device of the Monitor class");
  why.Otherwise(kFromDatabase);
}

}  // namespace harnel::windows
