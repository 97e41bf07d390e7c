#pragma once
// Filling profile records: a field is written only when there is a value, since an absent
// key already means a null text or a zero integer. The readers hold the records they fill as
// DisposableJson, so that memory running out midway never ends the process.

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "harnel/disposable_json.h"

namespace harnel::decode {

// Sets text field `key` of `record` when `value` holds non-empty text (made valid UTF-8).
void PutText(nlohmann::json& record, const char* key, const std::optional<std::string>& value);

// Sets integer field `key` when `value` is present, clamped to the int32 range of the records.
void PutInt(nlohmann::json& record, const char* key, std::optional<std::int64_t> value);

// `record` itself (moved out), or null when no field was set: "nothing known" is no record at
// all. Taken by reference, so that a DisposableJson passes without being converted.
nlohmann::json RecordOrNull(nlohmann::json&& record);

// `list` itself (moved out), or null when it holds no node.
nlohmann::json ListOrNull(nlohmann::json&& list);

}  // namespace harnel::decode
