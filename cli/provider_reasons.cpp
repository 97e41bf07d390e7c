#include "cli/provider_reasons.h"

#include <string>

#include "cli/provider_json.h"
#include "provider/provider.h"

namespace velmora::cli {

nlohmann::json ProviderReasons(std::string_view recordKey) {
  const std::string key(recordKey);
  return nlohmann::json(ProviderMachineJson(key.c_str(), HARNEL_JSON_REASONS));
}

std::string FieldReason(const nlohmann::json& reasons, std::size_t node, std::string_view field) {
  const nlohmann::json* fields = &reasons;
  if (reasons.is_array()) {
    if (node >= reasons.size()) return {};
    fields = &reasons[node];
  }
  if (!fields->is_object()) return {};
  const auto it = fields->find(std::string(field));
  return it != fields->end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::string RecordReason(const nlohmann::json& reasons) {
  return reasons.is_string() ? reasons.get<std::string>() : std::string();
}

}  // namespace velmora::cli
