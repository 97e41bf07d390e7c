#pragma once
// A machine's inventory in the fleet inventory format that asset servers take.

#include <ctime>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace velmora::fleet {

struct GlpiOptions {
  std::string deviceId;  // the document's "deviceid"; empty: DefaultDeviceId
  std::string client;    // "versionclient": the program and its version
  // When the records were read, for the boot time (now less the uptime); none for a replayed
  // profile, whose uptime was read at a time it does not say.
  std::optional<std::time_t> readAt;
  std::string tag;  // the document's "tag", which routes the machine to an entity; empty: none
};

// The document for `profile` (records and the Machine key, in the profile form): every section
// its tables fill, absent values left out, sections without a value left out.
nlohmann::ordered_json GlpiDocument(const nlohmann::json& profile, const GlpiOptions& options);

// The device id a machine is known by when none is given: its computer name and its system
// UUID joined by "-" ("WS-DEV-0427-9C1E5A2B-..."); the name alone without a UUID, the UUID
// alone without a name, and "unknown" without either.
std::string DefaultDeviceId(const nlohmann::json& profile);

}  // namespace velmora::fleet
