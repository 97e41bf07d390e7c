#include "cli/provider_reasons.h"

#include <string>

#include "provider/reasons.h"

namespace velmora::cli {
namespace {

// A few hundred bytes explain a whole machine's record; a larger text is asked for again.
constexpr int kFirstBufferBytes = 4096;

}  // namespace

nlohmann::json ProviderReasons(std::string_view recordKey) {
  const std::string key(recordKey);
  std::string text(kFirstBufferBytes, '\0');
  int length = GetReasons(key.c_str(), text.data(), static_cast<int>(text.size()));
  if (length >= static_cast<int>(text.size())) {
    text.resize(static_cast<std::size_t>(length) + 1);
    length = GetReasons(key.c_str(), text.data(), static_cast<int>(text.size()));
  }
  if (length < 0 || length >= static_cast<int>(text.size())) return nullptr;
  text.resize(static_cast<std::size_t>(length));
  nlohmann::json reasons = nlohmann::json::parse(text, nullptr, false);
  return reasons.is_discarded() ? nlohmann::json() : reasons;
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
