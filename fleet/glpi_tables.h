#pragma once
// How the records map onto the fleet inventory format: one table per section of the document.

#include <span>
#include <string_view>

namespace velmora::fleet {

// How a source value becomes the section's value. A value that does not convert is left out.
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
  GlpiThreadsPerCore,   // the entry's threads over its cores
  GlpiManufactureDate,  // the entry's manufacture week and year -> "12/2022"
  GlpiKernelName,       // "Linux x86_64" -> "linux"; a Windows product name -> "win32"
  GlpiSystemArch,       // the last word of "Linux x86_64" when it names an architecture
  GlpiProcessorArch,    // "Intel64 Family 6 ..." or "AMD64 ..." -> "x86_64"
  GlpiLogin,            // "DOMAIN\user" -> "user"
  GlpiDomain,           // "DOMAIN\user" -> "DOMAIN"
};

// One field of a section: `target` takes `source` converted as `value` says. Several rows may
// name one target: the first that gives a value wins.
struct GlpiField {
  std::string_view target;
  std::string_view source;  // single sections: "Record.field"; list sections: a field of the entry
  GlpiValue value;
};

// Where a list section's entries come from.
enum class GlpiEntries {
  GlpiSingle,     // an object from several records, named in its sources
  GlpiNodes,      // one entry per node of the record list
  GlpiPackages,   // one entry per physical processor, each the processor record
  GlpiRecord,     // one entry from the single record, when it gives any field
  GlpiAddresses,  // one entry per address of each adapter (one without address when it has none)
};

struct GlpiSection {
  std::string_view name;    // the key inside "content"
  std::string_view record;  // the profile key of the entries' record (list sections)
  GlpiEntries entries;
  std::string_view required;  // a target without which an entry is left out; empty: none
  std::span<const GlpiField> fields;
};

// The sections in document order.
std::span<const GlpiSection> GlpiSections();

}  // namespace velmora::fleet
