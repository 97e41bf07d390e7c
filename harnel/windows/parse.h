#pragma once
// The Windows readers' parsers and explainers: what the system calls gathered (raw_values.h)
// in, the record in the machine-profile form out, and why it is empty where it is. They need
// nothing of Windows, so both builds run them on captured data.

#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"

namespace harnel::windows {

// The record or list stored under the profile key `key` ("OS", "StorageList", ...) that the
// raw data `raw` of that key describes; null when it describes none, and for unknown keys.
// Never throws for odd data: what is missing or of another kind is left out.
nlohmann::json ParseWindowsRecord(std::string_view key, const nlohmann::json& raw);

// Says into `why` why `record`, what ParseWindowsRecord made of `raw` for the profile key
// `key`, is null, or where its fields are null or 0; the reasons come from `raw` alone.
void ExplainWindowsRecord(std::string_view key, const nlohmann::json& raw,
                          const nlohmann::json& record, findings::Reasons& why);

// What the fields of a device come from where the device installation database gives them.
inline constexpr std::string_view kFromDatabase = "the device database gives none";

// One parser and one explainer per record kind, as the table of the kinds (kinds.cpp) pairs
// them with their readers (read.h).
using Parser = nlohmann::json (*)(const nlohmann::json& raw);
using Explainer = void (*)(const nlohmann::json& raw, findings::Reasons& why);
#define HARNEL_WINDOWS_KIND(Name)                        \
  nlohmann::json Parse##Name(const nlohmann::json& raw); \
  void Explain##Name(const nlohmann::json& raw, findings::Reasons& why)
HARNEL_WINDOWS_KIND(OS);
HARNEL_WINDOWS_KIND(Processor);
HARNEL_WINDOWS_KIND(Memory);
HARNEL_WINDOWS_KIND(Userinfo);
HARNEL_WINDOWS_KIND(InputdeviceList);
HARNEL_WINDOWS_KIND(ModemList);
HARNEL_WINDOWS_KIND(MonitorList);
HARNEL_WINDOWS_KIND(NetworkadapterList);
HARNEL_WINDOWS_KIND(PrinterList);
HARNEL_WINDOWS_KIND(StorageList);
HARNEL_WINDOWS_KIND(SystemcontrollerList);
HARNEL_WINDOWS_KIND(VideoadapterList);
#undef HARNEL_WINDOWS_KIND

// The records of the firmware table alone, and why any of them is empty: each field the table
// leaves empty, it gives none of.
nlohmann::json ParseBIOS(const nlohmann::json& raw);
nlohmann::json ParseSystemslotList(const nlohmann::json& raw);
nlohmann::json ParsePhyMemoryList(const nlohmann::json& raw);
void ExplainFirmwareRecord(const nlohmann::json& raw, findings::Reasons& why);

// True for an adapter row of the IP helper that the NetworkadapterList holds a node for: all
// but the loopback and tunnel pseudo-interfaces.
bool IsListedAdapter(const nlohmann::json& adapter);

}  // namespace harnel::windows
