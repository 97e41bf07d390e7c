#pragma once
// NetworkadapterNode: the machine's physical network interfaces.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

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
// (bridges, tunnels and veth pairs have none). `listing`, when given, notes the listing of
// /sys/class/net.
std::vector<std::string> PhysicalInterfaces(const std::filesystem::path& root,
                                            SourceFact* listing = nullptr);

// The NetworkadapterList of the machine under `root`, with `addresses` for the IP fields;
// `listing` as for PhysicalInterfaces.
nlohmann::json BuildNetworkadapterList(const std::filesystem::path& root,
                                       const AddressTable& addresses,
                                       SourceFact* listing = nullptr);

// What ProbeNetworkadapterList found.
struct NetworkFacts {
  SourceFact listing;  // of /sys/class/net
  bool live = false;   // the addresses were asked of the running machine
};

// The NetworkadapterList of the machine under `root`; addresses only for the live root,
// since they are asked of the kernel, not read from files.
nlohmann::json ProbeNetworkadapterList(const std::filesystem::path& root, NetworkFacts& facts);

// Why the NetworkadapterList is empty where it is, from what ProbeNetworkadapterList found.
void ExplainNetworkadapterList(const NetworkFacts& facts, findings::Reasons& why);

// The adapter type for an ARPHRD interface type number ("Ethernet 802.3" for 1).
std::optional<std::string> AdapterTypeName(std::optional<std::uint64_t> type, bool wireless);

}  // namespace harnel::linux
