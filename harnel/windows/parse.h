#pragma once
// The Windows readers' parsers and explainers: what the system calls gathered (raw_values.h)
// in, the record in the machine-profile form out, and why it is empty where it is. They need
// nothing of Windows, so both builds run them on captured data.

#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/schema.h"

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

// One parser and one explainer per kind of record, named after its profile key, in
// parse_<kind>.cpp:
//   nlohmann::json ParseStorageList(const nlohmann::json& raw);
//   void ExplainStorageList(const nlohmann::json& raw, findings::Reasons& why);
// and so on for every kind the schema lists. The table of the kinds (kinds.cpp) pairs them with
// their readers (read.h).
using Parser = nlohmann::json (*)(const nlohmann::json& raw);
using Explainer = void (*)(const nlohmann::json& raw, findings::Reasons& why);
#define HARNEL_WINDOWS_PARSER(Name, Record, title)       \
  nlohmann::json Parse##Name(const nlohmann::json& raw); \
  void Explain##Name(const nlohmann::json& raw, findings::Reasons& why);
HARNEL_RECORD_KINDS(HARNEL_WINDOWS_PARSER)
#undef HARNEL_WINDOWS_PARSER

// True for an adapter row of the IP helper that the NetworkadapterList holds a node for: all
// but the loopback and tunnel pseudo-interfaces.
bool IsListedAdapter(const nlohmann::json& adapter);

}  // namespace harnel::windows
