#pragma once
// The agent's configuration file (agent.conf).

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fleet/delivery.h"

namespace velmora::fleet {

struct AgentConfig {
  std::vector<std::string> servers;   // inventory URLs, in the file's order, each once
  std::string tag;                    // the document's "tag"; empty: none
  std::string deviceId;               // empty: the default one
  int timeoutSeconds = 30;            // per server, 1..3600
  std::filesystem::path credentials;  // HTTP Basic credentials file; empty: none
  std::filesystem::path caFile;       // trusted authorities; empty: the system's store
  std::filesystem::path state;        // the state folder; empty: the machine's
  // The format every server takes; none: each server's URL says (DeliveryFormatOf).
  std::optional<DeliveryFormat> format;
};

// The configuration in the file at `path`: "key = value" lines of the keys server (one or more
// URLs separated by blanks; the key may also be repeated), tag, deviceid, timeout, format (glpi or
// ocs), credentials, ca-file and state. Relative paths are taken from the file's folder. None, with
// `why` set to one line naming the file, the line and the key, when the file cannot be read or a
// line is wrong.
std::optional<AgentConfig> ReadAgentConfig(const std::filesystem::path& path, std::string& why);

}  // namespace velmora::fleet
