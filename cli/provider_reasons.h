#pragma once
// The provider's reasons for empty records and fields (provider/reasons.h), for the commands
// that show them.

#include <string_view>

#include <nlohmann/json.hpp>

namespace velmora::cli {

// Why the provider's record under `recordKey` is empty where it is, in the form GetReasons
// gives; null when the provider gives no reasons (it replays a profile).
nlohmann::json ProviderReasons(std::string_view recordKey);

// The reason for field `field` of node `node` (0 for a single record) in `reasons`, the form
// ProviderReasons gives; empty when there is none.
std::string FieldReason(const nlohmann::json& reasons, std::size_t node, std::string_view field);

// Why there is no record at all, from `reasons`; empty when they do not say.
std::string RecordReason(const nlohmann::json& reasons);

}  // namespace velmora::cli
