// SystemcontrollerList from the device installation database: what the PCI bus enumerator
// found, less what other records describe.

#include <array>

#include "harnel/decode/put_fields.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

// Setup classes that other records describe.
constexpr std::array<std::string_view, 3> kNotControllers = {"Display", "Net", "Modem"};

bool IsController(const nlohmann::json& device) {
  const std::optional<std::string> setupClass = RawText(device, "Class");
  for (std::string_view other : kNotControllers) {
    if (setupClass == other) return false;
  }
  return true;
}

}  // namespace

nlohmann::json ParseSystemcontrollerList(const nlohmann::json& raw) {
  DisposableJson list = nlohmann::json::array();
  for (const nlohmann::json& device : RawRows(raw, "devices")) {
    if (!IsController(device)) continue;
    DisposableJson node = nlohmann::json::object();
    std::optional<std::string> type = RawText(device, "ClassDescription");
    decode::PutText(node, "name", DeviceName(device));
    decode::PutText(node, "controllerType", type ? type : RawText(device, "Class"));
    decode::PutText(node, "manufacturer", RawText(device, "Mfg"));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainSystemcontrollerList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no controller besides network and display adapters");
  why.Otherwise(kFromDatabase);
}

}  // namespace harnel::windows
