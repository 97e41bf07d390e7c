// Writing a record's fields only where there is a value.

#include "harnel/decode/put_fields.h"

#include <algorithm>
#include <limits>

#include "harnel/decode/text_util.h"

namespace harnel::decode {

void PutText(nlohmann::json& record, const char* key, const std::optional<std::string>& value) {
  if (!value) return;
  std::string text = ToValidUtf8(Trim(*value));
  if (!text.empty()) record[key] = std::move(text);
}

void PutInt(nlohmann::json& record, const char* key, std::optional<std::int64_t> value) {
  if (!value) return;
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  record[key] = static_cast<std::int32_t>(std::clamp(*value, kMin, kMax));
}

nlohmann::json RecordOrNull(nlohmann::json&& record) {
  if (!record.is_object() || record.empty()) return nullptr;
  return std::move(record);
}

nlohmann::json ListOrNull(nlohmann::json&& list) {
  if (!list.is_array() || list.empty()) return nullptr;
  return std::move(list);
}

}  // namespace harnel::decode
