// InputdeviceList from the device installation database: keyboards and pointing devices.

#include <array>

#include "harnel/decode/put_fields.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

struct SetupClassName {
  std::string_view setupClass, name;
};
constexpr std::array<SetupClassName, 2> kInputTypes = {{
    {"Keyboard", "Keyboard"},
    {"Mouse", "Pointing"},
}};

std::optional<std::string> InputType(const nlohmann::json& device) {
  const std::optional<std::string> setupClass = RawText(device, "Class");
  for (const SetupClassName& type : kInputTypes) {
    if (setupClass == type.setupClass) return std::string(type.name);
  }
  return std::nullopt;
}

}  // namespace

nlohmann::json ParseInputdeviceList(const nlohmann::json& raw) {
  DisposableJson list = nlohmann::json::array();
  for (const nlohmann::json& device : RawRows(raw, "devices")) {
    std::optional<std::string> type = InputType(device);
    if (!type) continue;
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "caption", DeviceName(device));
    decode::PutText(node, "deviceType", type);
    decode::PutText(node, "manufacturer", RawText(device, "Mfg"));
    decode::PutText(node, "description", RawText(device, "DeviceDesc"));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainInputdeviceList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no device of the Keyboard or Mouse class");
  why.Otherwise(kFromDatabase);
}

}  // namespace harnel::windows
