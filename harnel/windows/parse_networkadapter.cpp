// NetworkadapterNode from the IP helper's adapter rows.

#include <algorithm>
#include <array>

#include "harnel/decode/put_fields.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

constexpr std::uint64_t kLoopback = 24;  // IF_TYPE_SOFTWARE_LOOPBACK
constexpr std::uint64_t kTunnel = 131;   // IF_TYPE_TUNNEL

struct InterfaceType {
  std::uint64_t ifType;  // IANA ifType
  std::string_view name;
};
// The names the Linux provider gives the same kinds of adapter.
constexpr std::array<InterfaceType, 6> kTypeNames = {{
    {6, "Ethernet 802.3"},
    {71, "Wireless 802.11"},
    {23, "PPP"},
    {144, "IP over FireWire"},
    {199, "InfiniBand"},
    {259, "IEEE 802.15.4"},
}};

std::optional<std::string> TypeName(std::optional<std::uint64_t> ifType) {
  for (const InterfaceType& type : kTypeNames) {
    if (ifType == type.ifType) return std::string(type.name);
  }
  return std::nullopt;
}

// "54:E1:AD:12:34:56".
std::optional<std::string> MacAddress(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const char byte : bytes) {
    if (!text.empty()) text.push_back(':');
    text.push_back(kDigits[static_cast<unsigned char>(byte) >> 4]);
    text.push_back(kDigits[static_cast<unsigned char>(byte) & 0x0F]);
  }
  return text;
}

// "255.255.255.0" for a prefix of 24 bits.
std::string Ipv4Mask(std::uint64_t prefixLength) {
  const std::uint32_t mask =
      prefixLength == 0 ? 0 : ~std::uint32_t{0} << (32 - std::min<std::uint64_t>(prefixLength, 32));
  return std::to_string(mask >> 24) + "." + std::to_string(mask >> 16 & 0xFF) + "." +
         std::to_string(mask >> 8 & 0xFF) + "." + std::to_string(mask & 0xFF);
}

void Append(std::string& list, std::string_view item) {
  if (!list.empty()) list += ", ";
  list += item;
}

// The unicast addresses, IPv4 first as on Linux, each with its mask: dotted for IPv4, the
// prefix length for IPv6. A zone suffix ("%4") is no part of the address.
void PutAddresses(nlohmann::json& node, const nlohmann::json& unicast) {
  std::string addresses, masks;
  for (const bool ipv4 : {true, false}) {
    for (const nlohmann::json& entry : unicast) {
      std::optional<std::string> address = RawText(entry, "address");
      if (!address || (address->find(':') == std::string::npos) != ipv4) continue;
      Append(addresses, address->substr(0, address->find('%')));
      const std::optional<std::uint64_t> prefix = RawNumber(entry, "prefixLength");
      Append(masks, !prefix ? "" : ipv4 ? Ipv4Mask(*prefix) : std::to_string(*prefix));
    }
  }
  decode::PutText(node, "ipAddress", addresses);
  decode::PutText(node, "subnetMask", masks);
}

}  // namespace

bool IsListedAdapter(const nlohmann::json& adapter) {
  const std::optional<std::uint64_t> ifType = RawNumber(adapter, "IfType");
  return ifType != kLoopback && ifType != kTunnel;
}

nlohmann::json ParseNetworkadapterList(const nlohmann::json& raw) {
  DisposableJson list = nlohmann::json::array();
  for (const nlohmann::json& adapter : RawRows(raw, "adapters")) {
    if (!IsListedAdapter(adapter)) continue;
    const std::optional<std::uint64_t> ifType = RawNumber(adapter, "IfType");
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "description", RawText(adapter, "Description"));
    decode::PutText(node, "adapterType", TypeName(ifType));
    decode::PutText(node, "macAddress", MacAddress(RawBytes(adapter, "PhysicalAddress")));
    PutAddresses(node, RawRows(adapter, "unicast"));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainNetworkadapterList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no network adapter besides loopback");
  why.EveryNode("ipAddress", "no address on the adapter");
  why.EveryNode("subnetMask", "no address on the adapter");
  why.Otherwise("the adapter gives none");
}

}  // namespace harnel::windows
