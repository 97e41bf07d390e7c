// NetworkadapterNode's source: the IP helper's list of adapters and their unicast addresses.

// Order matters: the address types before the helpers, and both before the address texts.
#include <winsock2.h>

#include <ws2tcpip.h>

#include <windows.h>

#include <iphlpapi.h>

#include <mstcpip.h>

#include <string>
#include <vector>

#include "harnel/decode/utf16.h"
#include "harnel/windows/raw_values.h"
#include "harnel/windows/read.h"

namespace harnel::windows {
namespace {

constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;

// The address without a zone: the address classes show none.
std::string AddressText(const SOCKET_ADDRESS& address) {
  char text[64] = {};
  const sockaddr* socket = address.lpSockaddr;
  if (socket == nullptr) return {};
  if (socket->sa_family == AF_INET) {
    RtlIpv4AddressToStringA(&reinterpret_cast<const sockaddr_in*>(socket)->sin_addr, text);
  } else if (socket->sa_family == AF_INET6) {
    RtlIpv6AddressToStringA(&reinterpret_cast<const sockaddr_in6*>(socket)->sin6_addr, text);
  }
  return text;
}

DisposableJson AdapterRow(const IP_ADAPTER_ADDRESSES& adapter) {
  DisposableJson row = nlohmann::json::object();
  row["IfType"] = adapter.IfType;
  row["OperStatus"] = static_cast<unsigned>(adapter.OperStatus);
  row["Mtu"] = adapter.Mtu;
  if (adapter.FriendlyName != nullptr)
    row["FriendlyName"] = decode::Utf16ToUtf8(adapter.FriendlyName);
  if (adapter.Description != nullptr) row["Description"] = decode::Utf16ToUtf8(adapter.Description);
  PutJson(row, "PhysicalAddress",
          BytesValue(std::string_view(reinterpret_cast<const char*>(adapter.PhysicalAddress),
                                      adapter.PhysicalAddressLength)));
  DisposableJson unicast = nlohmann::json::array();
  for (const IP_ADAPTER_UNICAST_ADDRESS* address = adapter.FirstUnicastAddress; address != nullptr;
       address = address->Next) {
    std::string text = AddressText(address->Address);
    if (text.empty()) continue;
    DisposableJson entry = nlohmann::json::object();
    entry["address"] = std::move(text);
    entry["prefixLength"] = address->OnLinkPrefixLength;
    unicast.push_back(std::move(entry));
  }
  PutJson(row, "unicast", std::move(unicast));
  return row;
}

}  // namespace

DisposableJson ReadNetworkadapterList() {
  DisposableJson rows = nlohmann::json::array();
  // The list may grow between the size query and the read; a few tries settle it.
  // Whole 8-byte units keep the rows aligned.
  std::vector<ULONGLONG> buffer(2048);
  ULONG status = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
    ULONG size = static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
    status = GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr,
                                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    if (status == ERROR_BUFFER_OVERFLOW) buffer.resize(size / sizeof(ULONGLONG) + 1);
  }
  if (status == NO_ERROR) {
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
         adapter != nullptr; adapter = adapter->Next) {
      rows.push_back(AdapterRow(*adapter));
    }
  }
  DisposableJson raw = nlohmann::json::object();
  PutJson(raw, "adapters", std::move(rows));
  return raw;
}

}  // namespace harnel::windows
