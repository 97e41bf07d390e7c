#pragma once
// NetworkadapterNode: the machine's physical network interfaces.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace harnel::probe {

// An interface's addresses, IPv4 first, each with its mask ("255.255.255.0"; IPv6 masks as
// prefix lengths).
struct InterfaceAddresses {
  std::vector<std::string> addresses, masks;
};

// Interface name to its addresses.
using AddressTable = std::map<std::string, InterfaceAddresses>;

// The addresses of the running machine's interfaces (getifaddrs); empty when unavailable.
AddressTable ReadLiveAddresses();

// The interfaces the NetworkadapterList holds, in its order: those with a device behind them
// (bridges, tunnels and veth pairs have none).
std::vector<std::string> PhysicalInterfaces(const std::filesystem::path& root);

// The NetworkadapterList of the machine under `root`, with `addresses` for the IP fields.
nlohmann::json BuildNetworkadapterList(const std::filesystem::path& root,
                                       const AddressTable& addresses);

// The NetworkadapterList of the machine under `root`; addresses only for the live root,
// since they are asked of the kernel, not read from files.
nlohmann::json ProbeNetworkadapterList(const std::filesystem::path& root);

// The adapter type for an ARPHRD interface type number ("Ethernet 802.3" for 1).
std::optional<std::string> AdapterTypeName(std::optional<std::uint64_t> type, bool wireless);

}  // namespace harnel::probe
