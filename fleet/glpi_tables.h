#pragma once
// How the records map onto the fleet inventory format: one table per section of the document.

#include <span>
#include <string_view>

namespace velmora::fleet {

// How a row's sources become the section's value. A value that does not convert is left out.
enum class GlpiValue {
  GlpiText,             // a non-empty text as it stands
  GlpiNumber,           // a non-zero integer
  GlpiNumberText,       // a non-zero integer as decimal text: 3200 -> "3200"
  GlpiDate,             // "MM/DD/YYYY", "MM/DD/YY" or "YYYY-MM-DD" -> "YYYY-MM-DD"
  GlpiBootTime,         // an uptime "3 days 04:05:06" -> the local start time "YYYY-MM-DD hh:mm:ss"
  GlpiResolution,       // "1920 * 1080" -> "1920x1080"
  GlpiNetworkKind,      // a kind the format lists ("ethernet", "wifi", ...) as it stands
  GlpiAdapterKind,      // an adapter type ("Wireless 802.11") -> the format's kind ("wifi")
  GlpiNetworkStatus,    // a status the format lists ("up", "lowerlayerdown", ...) as it stands
  GlpiStorageKind,      // a media type -> "disk" or "cdrom"
  GlpiStorageBus,       // a bus the format lists ("SATA", "NVME", ...) as it stands
  GlpiSlotStatus,       // a slot's usage ("..., In use") -> "used" or "free"
  GlpiThreadsPerCore,   // threads, with cores -> threads per core, rounded up
  GlpiManufactureDate,  // a week, with a year -> "12/2022" (the year alone without a week)
  GlpiKernelName,       // "Linux x86_64" -> "linux"; a Windows product name -> "win32"
  GlpiSystemArch,       // the last word of "Linux x86_64" when it names an architecture
  GlpiProcessorArch,    // "Intel64 Family 6 ..." or "AMD64 ..." -> "x86_64"
  GlpiLogin,            // "DOMAIN\user" -> "user"
  GlpiDomain,           // "DOMAIN\user" -> "DOMAIN"
  GlpiIpv4Address,      // an address without ":" as it stands
  GlpiIpv4Mask,         // a mask, with its IPv4 address -> the mask, when both are dotted IPv4
  GlpiIpv4Subnet,       // an IPv4 address, with its mask -> the network ("192.168.0.0")
  GlpiIpv6Address,      // an address with ":" without its zone: "fe80::1%eth0" -> "fe80::1"
};

// One field of a section: `target` takes the field `source` of the record `record` (a profile
// key, or harnel::kMachineSystemKey for the system), converted as `value` says; a conversion of
// two values also reads the field `with` of the same record. A field is the record's own or one
// the Machine key adds to it; every row's are checked against the profile's schema when the
// tables compile. Several rows may name one target: the first that gives a value wins.
struct GlpiField {
  std::string_view target;
  std::string_view record;
  std::string_view source;
  GlpiValue value;
  std::string_view with = {};
};

// Where a list section's entries come from.
enum class GlpiEntries {
  GlpiSingle,    // an object from several records, each row naming its own
  GlpiNodes,     // one entry per node of the record list
  GlpiPackages,  // one entry per physical processor, each the processor record
  GlpiRecord,    // one entry from the single record, when it gives any field
  // One entry per address of each adapter, the adapter with its address list and mask list
  // narrowed to that address and its mask; the adapter as it is when it has no address.
  GlpiAddresses,
};

struct GlpiSection {
  std::string_view name;    // the key inside "content"
  std::string_view record;  // list sections: the profile key of the record the entries are
  GlpiEntries entries;
  std::string_view required;  // a target without which an entry is left out; empty: none
  std::span<const GlpiField> fields;
};

// The sections in document order.
std::span<const GlpiSection> GlpiSections();

}  // namespace velmora::fleet
