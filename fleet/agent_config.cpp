#include "fleet/agent_config.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "fleet/key_value_file.h"

namespace velmora::fleet {
namespace {

constexpr int kLongestTimeout = 3600;

using Apply = std::function<std::string(AgentConfig&, const std::string& value)>;

std::string AddServers(AgentConfig& config, const std::string& value) {
  std::istringstream words(value);
  std::string url;
  bool any = false;
  while (words >> url) {
    any = true;
    if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) {
      return "\"" + url + "\" is not an http:// or https:// URL";
    }
    if (std::find(config.servers.begin(), config.servers.end(), url) == config.servers.end()) {
      config.servers.push_back(url);
    }
  }
  return any ? "" : "no URL";
}

std::string SetTimeout(AgentConfig& config, const std::string& value) {
  int seconds = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
  if (error != std::errc() || end != value.data() + value.size() || seconds < 1 ||
      seconds > kLongestTimeout) {
    return "\"" + value + "\" is not a number of seconds from 1 to " +
           std::to_string(kLongestTimeout);
  }
  config.timeoutSeconds = seconds;
  return {};
}

std::string SetFormat(AgentConfig& config, const std::string& value) {
  config.format = DeliveryFormatNamed(value);
  return config.format ? "" : "\"" + value + "\" is not a format (glpi or ocs)";
}

// Each key and what its value does to the configuration; a non-empty result is the problem.
Apply SetText(std::string AgentConfig::*field) {
  return [field](AgentConfig& config, const std::string& value) {
    config.*field = value;
    return std::string();
  };
}

Apply SetPath(std::filesystem::path AgentConfig::*field, const std::filesystem::path& folder) {
  return [field, folder](AgentConfig& config, const std::string& value) {
    if (value.empty()) return std::string("no path");
    config.*field = folder / std::filesystem::path(std::u8string(value.begin(), value.end()));
    return std::string();
  };
}

}  // namespace

std::optional<AgentConfig> ReadAgentConfig(const std::filesystem::path& path, std::string& why) {
  const std::filesystem::path folder = path.parent_path();
  const std::map<std::string, Apply> keys{
      {"server", AddServers},
      {"tag", SetText(&AgentConfig::tag)},
      {"deviceid", SetText(&AgentConfig::deviceId)},
      {"timeout", SetTimeout},
      {"format", SetFormat},
      {"credentials", SetPath(&AgentConfig::credentials, folder)},
      {"ca-file", SetPath(&AgentConfig::caFile, folder)},
      {"state", SetPath(&AgentConfig::state, folder)},
  };
  std::set<std::string> names;
  for (const auto& [name, apply] : keys) names.insert(name);
  const auto lines = ReadKeyValueFile(path, names, why);
  if (!lines) return std::nullopt;
  AgentConfig config;
  std::set<std::string> seen;
  for (const KeyValueLine& line : *lines) {
    if (line.key != "server" && !seen.insert(line.key).second) {
      why = LineProblem(path, line, "given twice");
      return std::nullopt;
    }
    if (const std::string problem = keys.at(line.key)(config, line.value); !problem.empty()) {
      why = LineProblem(path, line, problem);
      return std::nullopt;
    }
  }
  return config;
}

}  // namespace velmora::fleet
