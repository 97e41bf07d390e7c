// The NetworkadapterList reader on Linux: physical interfaces and their addresses.

#include "harnel/linux/networkadapter.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <memory>

#include "harnel/decode/put_fields.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/pci.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kNetClassFolder = "/sys/class/net";

struct TypeName {
  std::uint64_t type;
  std::string_view name;
};
constexpr std::array<TypeName, 5> kTypeNames = {{{1, "Ethernet 802.3"},
                                                 {32, "InfiniBand"},
                                                 {512, "PPP"},
                                                 {519, "IP over FireWire"},
                                                 {824, "IEEE 802.15.4"}}};

struct IfaddrsDeleter {
  void operator()(ifaddrs* list) const noexcept { freeifaddrs(list); }
};

std::string Join(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += ", ";
    text += part;
  }
  return text;
}

int PrefixLength(const in6_addr& mask) {
  int length = 0;
  for (unsigned char byte : mask.s6_addr) length += std::popcount(byte);
  return length;
}

// The PCI model name for PCI adapters, else the USB product name, else the driver.
std::optional<std::string> Description(const std::filesystem::path& root,
                                       const std::string& folder) {
  const std::string device = folder + "/device";
  if (std::optional<PciDevice> function = FindPciFunction(root, device)) {
    const PciNames names = PciNames::ForRoot(root, {*function});
    if (auto name = names.Device(function->vendor, function->device)) return name;
  }
  if (auto product = ReadMachineText(root, device + "/../product")) return product;
  std::string driver =
      std::filesystem::path(ReadMachineLink(root, device + "/driver")).filename().string();
  if (!driver.empty()) return driver;
  return std::nullopt;
}

std::optional<std::string> MacAddress(const std::filesystem::path& root,
                                      const std::string& folder) {
  std::optional<std::string> address = ReadMachineText(root, folder + "/address");
  if (!address) return std::nullopt;
  std::transform(address->begin(), address->end(), address->begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return address;
}

}  // namespace

std::optional<std::string> AdapterTypeName(std::optional<std::uint64_t> type, bool wireless) {
  if (!type) return std::nullopt;
  if (*type == 1 && wireless) return std::string("Wireless 802.11");
  for (const TypeName& entry : kTypeNames) {
    if (entry.type == *type) return std::string(entry.name);
  }
  return std::nullopt;
}

AddressTable ReadLiveAddresses() {
  ifaddrs* raw = nullptr;
  if (getifaddrs(&raw) != 0) return {};
  std::unique_ptr<ifaddrs, IfaddrsDeleter> list(raw);
  AddressTable v4, v6;
  for (ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || !entry->ifa_name) continue;
    char text[INET6_ADDRSTRLEN] = {};
    if (entry->ifa_addr->sa_family == AF_INET) {
      auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
      auto* mask = reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask);
      InterfaceAddresses& target = v4[entry->ifa_name];
      target.addresses.emplace_back(inet_ntop(AF_INET, &address->sin_addr, text, sizeof text));
      target.masks.emplace_back(mask ? inet_ntop(AF_INET, &mask->sin_addr, text, sizeof text) : "");
    } else if (entry->ifa_addr->sa_family == AF_INET6) {
      auto* address = reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr);
      auto* mask = reinterpret_cast<const sockaddr_in6*>(entry->ifa_netmask);
      InterfaceAddresses& target = v6[entry->ifa_name];
      target.addresses.emplace_back(inet_ntop(AF_INET6, &address->sin6_addr, text, sizeof text));
      target.masks.push_back(mask ? std::to_string(PrefixLength(mask->sin6_addr)) : "");
    }
  }
  for (auto& [name, addresses] : v6) {
    InterfaceAddresses& target = v4[name];
    target.addresses.insert(target.addresses.end(), addresses.addresses.begin(),
                            addresses.addresses.end());
    target.masks.insert(target.masks.end(), addresses.masks.begin(), addresses.masks.end());
  }
  return v4;
}

std::vector<std::string> PhysicalInterfaces(const std::filesystem::path& root,
                                            SourceFact* listing) {
  std::vector<std::string> names = ListMachineDir(root, kNetClassFolder, listing);
  std::erase_if(names, [&root](const std::string& name) {
    return ReadMachineLink(root, std::string(kNetClassFolder) + "/" + name + "/device").empty();
  });
  return names;
}

nlohmann::json BuildNetworkadapterList(const std::filesystem::path& root,
                                       const AddressTable& addresses, SourceFact* listing) {
  DisposableJson list = nlohmann::json::array();
  for (const std::string& name : PhysicalInterfaces(root, listing)) {
    const std::string folder = std::string(kNetClassFolder) + "/" + name;
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "description", Description(root, folder));
    std::optional<std::string> type = ReadMachineText(root, folder + "/type");
    const bool wireless = MachineFileExists(root, folder + "/wireless") ||
                          MachineFileExists(root, folder + "/phy80211");
    decode::PutText(node, "adapterType",
                    AdapterTypeName(type ? decode::ParseUnsigned(*type) : std::nullopt, wireless));
    decode::PutText(node, "macAddress", MacAddress(root, folder));
    if (auto found = addresses.find(name); found != addresses.end()) {
      decode::PutText(node, "ipAddress", Join(found->second.addresses));
      decode::PutText(node, "subnetMask", Join(found->second.masks));
    }
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

nlohmann::json ProbeNetworkadapterList(const std::filesystem::path& root, NetworkFacts& facts) {
  facts.live = IsLiveRoot(root);
  return BuildNetworkadapterList(root, facts.live ? ReadLiveAddresses() : AddressTable{},
                                 &facts.listing);
}

void ExplainNetworkadapterList(const NetworkFacts& facts, findings::Reasons& why) {
  why.Absent(
      WhyNoNode(facts.listing, "no adapter with a device behind it (only virtual interfaces)"));
  // The interface address list is the running machine's: a root that stands for another
  // machine has none of its own.
  const std::string_view noAddress = facts.live
                                         ? "no IPv4 or IPv6 address on the interface"
                                         : "addresses are read only from the running machine";
  why.EveryNode("ipAddress", noAddress);
  why.EveryNode("subnetMask", noAddress);
  why.EveryNode("description", kNamedByPciIds);
  why.EveryNode("macAddress", "the interface gives none");
}

}  // namespace harnel::linux
