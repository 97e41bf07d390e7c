#pragma once
// Why the provider's records are empty where they are, for the commands that show it: the
// provider gives it beside its records (provider_json.h); the inventory library never asks.

#include <string_view>

#include <nlohmann/json.hpp>

namespace velmora::cli {

// Why the record under the profile key `recordKey` is empty where it is, read from the machine
// the provider reads now: a string when there is no record, else an object of field reasons (an
// array of them for a list); null when a profile is replayed or the key is unknown.
nlohmann::json ProviderReasons(std::string_view recordKey);

// The reason for field `field` of node `node` (0 for a single record) in `reasons`, the form
// ProviderReasons gives; empty when there is none.
std::string FieldReason(const nlohmann::json& reasons, std::size_t node, std::string_view field);

// Why there is no record at all, from `reasons`; empty when they do not say.
std::string RecordReason(const nlohmann::json& reasons);

}  // namespace velmora::cli
