// The lists that the device installation database alone describes: input devices, modems and
// system controllers.

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

// The modem driver's DeviceType byte, named as the modem class names it.
constexpr std::array<std::string_view, 4> kModemTypes = {
    "Null Modem",
    "External Modem",
    "Internal Modem",
    "PCMCIA Modem",
};

// Setup classes that other records describe.
constexpr std::array<std::string_view, 3> kNotControllers = {"Display", "Net", "Modem"};

std::optional<std::string> InputType(const nlohmann::json& device) {
  const std::optional<std::string> setupClass = RawText(device, "Class");
  for (const SetupClassName& type : kInputTypes) {
    if (setupClass == type.setupClass) return std::string(type.name);
  }
  return std::nullopt;
}

// A DWORD, or the first of its bytes where the driver stored it as binary.
std::optional<std::uint64_t> ModemTypeCode(const nlohmann::json& driver) {
  if (auto number = RawNumber(driver, "DeviceType")) return number;
  const std::string bytes = RawBytes(driver, "DeviceType");
  if (bytes.empty()) return std::nullopt;
  return static_cast<unsigned char>(bytes[0]);
}

std::string ModemType(const nlohmann::json& device) {
  const std::optional<std::uint64_t> code = ModemTypeCode(RawObject(device, "driver"));
  return code && *code < kModemTypes.size() ? std::string(kModemTypes[*code]) : "Unknown";
}

bool IsController(const nlohmann::json& device) {
  const std::optional<std::string> setupClass = RawText(device, "Class");
  for (std::string_view other : kNotControllers) {
    if (setupClass == other) return false;
  }
  return true;
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

nlohmann::json ParseModemList(const nlohmann::json& raw) {
  DisposableJson list = nlohmann::json::array();
  for (const nlohmann::json& device : RawRows(raw, "devices")) {
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "name", DeviceName(device));
    decode::PutText(node, "deviceType", ModemType(device));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

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

void ExplainInputdeviceList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no device of the Keyboard or Mouse class");
  why.Otherwise(kFromDatabase);
}

void ExplainModemList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no device of the Modem class");
  why.Otherwise(kFromDatabase);
}

void ExplainSystemcontrollerList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no controller besides network and display adapters");
  why.Otherwise(kFromDatabase);
}

}  // namespace harnel::windows
