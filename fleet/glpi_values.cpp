#include "fleet/glpi_values.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

namespace velmora::fleet {
namespace {

using Json = nlohmann::ordered_json;

// The kinds of network the format lists, and the adapter types the provider names them from.
constexpr std::string_view kNetworkKinds[] = {
    "ethernet", "wifi",     "infiniband", "aggregate",    "alias",
    "dialup",   "loopback", "bridge",     "fibrechannel", "bluetooth",
};
struct AdapterKind {
  std::string_view adapterTypeStart, kind;
};
constexpr AdapterKind kAdapterKinds[] = {
    {"Ethernet", "ethernet"},          {"Wireless", "wifi"},
    {"InfiniBand", "infiniband"},      {"PPP", "dialup"},
    {"Loopback", "loopback"},          {"Bridge", "bridge"},
    {"Fibre Channel", "fibrechannel"}, {"Bluetooth", "bluetooth"},
};
// The disk interfaces the format lists; the Machine key may name others ("VIRTIO", "MMC").
constexpr std::string_view kStorageBuses[] = {"SATA", "NVME", "USB", "IDE", "SCSI", "SAS"};
constexpr std::string_view kNetworkStates[] = {
    "up", "down", "dormant", "notpresent", "lowerlayerdown", "unknown", "testing"};
// The words with which the format's architecture pattern begins.
constexpr std::string_view kArchitectures[] = {"x86_64", "aarch64", "i386", "i486",
                                               "i586",   "i686",    "arm",  "mips",
                                               "alpha",  "sparc",   "m68k", "powerpc"};

template <std::size_t N>
bool Listed(const std::string_view (&list)[N], std::string_view text) {
  for (std::string_view item : list) {
    if (item == text) return true;
  }
  return false;
}

// `text` itself when the format's `list` holds it.
template <std::size_t N>
std::optional<Json> AsListed(const std::string_view (&list)[N], std::string_view text) {
  if (!Listed(list, text)) return std::nullopt;
  return std::string(text);
}

std::optional<int> Number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::optional<Json> Date(std::string_view text) {
  std::optional<int> year, month, day;
  if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    year = Number(text.substr(0, 4)), month = Number(text.substr(5, 2)),
    day = Number(text.substr(8, 2));
  } else if ((text.size() == 10 || text.size() == 8) && text[2] == '/' && text[5] == '/') {
    month = Number(text.substr(0, 2)), day = Number(text.substr(3, 2)),
    year = Number(text.substr(6));
    // Firmware of the last century wrote two digits; no firmware is dated before 1970.
    if (year && text.size() == 8) *year += *year < 70 ? 2000 : 1900;
  }
  if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > 31) {
    return std::nullopt;
  }
  return std::to_string(*year) + "-" + TwoDigits(*month) + "-" + TwoDigits(*day);
}

// "3 days 04:05:06" or "1 day 00:00:09": the seconds since the system started.
std::optional<long long> UptimeSeconds(std::string_view text) {
  const std::size_t space = text.find(' ');
  const std::size_t clock = text.rfind(' ');
  if (space == std::string_view::npos || text.size() - clock != 9) return std::nullopt;
  const auto days = Number(text.substr(0, space));
  const auto hours = Number(text.substr(clock + 1, 2));
  const auto minutes = Number(text.substr(clock + 4, 2));
  const auto seconds = Number(text.substr(clock + 7, 2));
  if (!days || !hours || !minutes || !seconds) return std::nullopt;
  return ((*days * 24LL + *hours) * 60 + *minutes) * 60 + *seconds;
}

std::optional<Json> BootTime(std::string_view uptime, std::optional<std::time_t> now) {
  const std::optional<long long> seconds = UptimeSeconds(uptime);
  if (!seconds || !now) return std::nullopt;
  const std::time_t start = *now - static_cast<std::time_t>(*seconds);
  const std::tm* local = std::localtime(&start);
  if (local == nullptr) return std::nullopt;
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  return std::string(text);
}

std::optional<Json> Resolution(std::string_view text) {
  const std::size_t times = text.find(" * ");
  if (times == std::string_view::npos) return std::nullopt;
  return std::string(text.substr(0, times)) + "x" + std::string(text.substr(times + 3));
}

std::optional<Json> AdapterKindOf(std::string_view adapterType) {
  for (const AdapterKind& row : kAdapterKinds) {
    if (adapterType.starts_with(row.adapterTypeStart)) return std::string(row.kind);
  }
  return std::nullopt;
}

std::optional<Json> StorageKind(std::string_view mediaType) {
  if (mediaType == "CD-ROM") return "cdrom";
  return "disk";
}

std::optional<Json> SlotStatus(std::string_view usage) {
  if (usage.ends_with("In use")) return "used";
  if (usage.ends_with("Available")) return "free";
  return std::nullopt;
}

std::optional<Json> KernelName(std::string_view text) {
  if (text.starts_with("Linux")) return "linux";
  if (text.find("Windows") != std::string_view::npos) return "win32";
  return std::nullopt;
}

std::optional<Json> SystemArch(std::string_view osType) {
  const std::string_view last = osType.substr(osType.rfind(' ') + 1);
  for (std::string_view arch : kArchitectures) {
    if (last.starts_with(arch)) return std::string(last);
  }
  return std::nullopt;
}

std::optional<Json> ProcessorArch(std::string_view description) {
  for (std::string_view start : {"Intel64 ", "AMD64 ", "x64 "}) {
    if (description.starts_with(start)) return "x86_64";
  }
  if (description.starts_with("x86 ")) return "i686";
  return std::nullopt;
}

// "DOMAIN\user": the part after the backslash (`user`) or before it.
std::optional<Json> UserPart(std::string_view text, bool user) {
  const std::size_t slash = text.find('\\');
  if (slash == std::string_view::npos) {
    if (user) return std::string(text);
    return std::nullopt;
  }
  const std::string_view part = user ? text.substr(slash + 1) : text.substr(0, slash);
  if (part.empty()) return std::nullopt;
  return std::string(part);
}

int IntegerOf(const nlohmann::json& value) {
  return value.is_number_integer() ? value.get<int>() : 0;
}

std::optional<Json> ThreadsPerCore(int threads, int cores) {
  if (threads <= 0 || cores <= 0 || threads < cores) return std::nullopt;
  // A processor of two kinds of core (two threads on some, one on the others) counts as two.
  return (threads + cores - 1) / cores;
}

std::optional<Json> ManufactureDate(int week, int year) {
  if (year <= 0) return std::nullopt;
  if (week <= 0) return std::to_string(year);
  return std::to_string(week) + "/" + std::to_string(year);
}

bool IsIpv6(std::string_view address) { return address.find(':') != std::string_view::npos; }

std::optional<Json> Ipv4Address(std::string_view address) {
  if (IsIpv6(address)) return std::nullopt;
  return std::string(address);
}

std::optional<Json> Ipv6Address(std::string_view address) {
  if (!IsIpv6(address)) return std::nullopt;
  // The zone ("%eth0") names an interface of this machine only.
  const std::string_view bare = address.substr(0, address.find('%'));
  if (bare.empty()) return std::nullopt;
  return std::string(bare);
}

// The network of an IPv4 address, or with `mask` true the mask itself, when both are IPv4.
std::optional<Json> Ipv4Network(std::string_view address, const nlohmann::json& mask,
                                bool maskItself) {
  if (IsIpv6(address) || !mask.is_string()) return std::nullopt;
  const std::string& maskText = mask.get_ref<const std::string&>();
  std::string subnet = Ipv4Subnet(address, maskText);
  if (subnet.empty()) return std::nullopt;
  return maskItself ? maskText : subnet;
}

}  // namespace

std::optional<Json> GlpiConvert(GlpiValue kind, const nlohmann::json& value,
                                const nlohmann::json& with, std::optional<std::time_t> now) {
  switch (kind) {
    case GlpiValue::GlpiThreadsPerCore:
      return ThreadsPerCore(IntegerOf(value), IntegerOf(with));
    case GlpiValue::GlpiManufactureDate:
      return ManufactureDate(IntegerOf(value), IntegerOf(with));
    case GlpiValue::GlpiNumber:
      if (value.is_number_integer() && value.get<long long>() != 0) return Json(value);
      return std::nullopt;
    case GlpiValue::GlpiNumberText:
      if (value.is_number_integer() && value.get<long long>() != 0) return value.dump();
      return std::nullopt;
    case GlpiValue::GlpiIpv4Mask:
      if (!with.is_string()) return std::nullopt;
      return Ipv4Network(with.get_ref<const std::string&>(), value, true);
    default:
      break;
  }
  if (!value.is_string() || value.get_ref<const std::string&>().empty()) return std::nullopt;
  const std::string_view text = value.get_ref<const std::string&>();
  switch (kind) {
    case GlpiValue::GlpiDate:
      return Date(text);
    case GlpiValue::GlpiBootTime:
      return BootTime(text, now);
    case GlpiValue::GlpiResolution:
      return Resolution(text);
    case GlpiValue::GlpiNetworkKind:
      return AsListed(kNetworkKinds, text);
    case GlpiValue::GlpiAdapterKind:
      return AdapterKindOf(text);
    case GlpiValue::GlpiNetworkStatus:
      return AsListed(kNetworkStates, text);
    case GlpiValue::GlpiStorageKind:
      return StorageKind(text);
    case GlpiValue::GlpiStorageBus:
      return AsListed(kStorageBuses, text);
    case GlpiValue::GlpiSlotStatus:
      return SlotStatus(text);
    case GlpiValue::GlpiKernelName:
      return KernelName(text);
    case GlpiValue::GlpiSystemArch:
      return SystemArch(text);
    case GlpiValue::GlpiProcessorArch:
      return ProcessorArch(text);
    case GlpiValue::GlpiLogin:
      return UserPart(text, true);
    case GlpiValue::GlpiDomain:
      return UserPart(text, false);
    case GlpiValue::GlpiIpv4Address:
      return Ipv4Address(text);
    case GlpiValue::GlpiIpv4Subnet:
      return Ipv4Network(text, with, false);
    case GlpiValue::GlpiIpv6Address:
      return Ipv6Address(text);
    default:
      return Json(std::string(text));
  }
}

std::string Ipv4Subnet(std::string_view address, std::string_view mask) {
  const auto parse = [](std::string_view text) -> std::optional<std::array<int, 4>> {
    std::array<int, 4> parts{};
    for (int i = 0; i < 4; ++i) {
      const std::size_t dot = i < 3 ? text.find('.') : text.size();
      if (dot == std::string_view::npos) return std::nullopt;
      const std::optional<int> part = Number(text.substr(0, dot));
      if (!part || *part < 0 || *part > 255) return std::nullopt;
      parts[i] = *part;
      text.remove_prefix(i < 3 ? dot + 1 : dot);
    }
    return parts;
  };
  const auto a = parse(address), m = parse(mask);
  if (!a || !m) return {};
  std::string out;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) out += '.';
    out += std::to_string((*a)[i] & (*m)[i]);
  }
  return out;
}

}  // namespace velmora::fleet
