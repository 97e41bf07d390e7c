// ModemList from the device installation database.

#include <array>

#include "harnel/decode/put_fields.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

// The modem driver's DeviceType byte, named as the modem class names it.
constexpr std::array<std::string_view, 4> kModemTypes = {
    "Null Modem",
    "External Modem",
    "Internal Modem",
    "PCMCIA Modem",
};

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

}  // namespace

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

void ExplainModemList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no device of the Modem class");
  why.Otherwise(kFromDatabase);
}

}  // namespace harnel::windows
