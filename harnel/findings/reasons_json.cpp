// The reasons a reader gave, written beside the fields of the record they explain.

#include "harnel/findings/reasons_json.h"

#include <string>
#include <vector>

namespace harnel::findings {
namespace {

constexpr std::string_view kNoDevice = "no such device";
constexpr std::string_view kNoValue = "no value found";

bool IsEmpty(const FieldSchema& field, const nlohmann::json& node) {
  const auto it = node.find(field.name);
  if (it == node.end() || it->is_null()) return true;
  return field.kind == FieldKind::FieldInt32 && it->is_number() && *it == 0;
}

std::string FieldReason(const Reasons& why, std::size_t node, std::string_view field) {
  const std::string* reason = why.ReasonFor(node, field);
  return reason != nullptr ? *reason : std::string(kNoValue);
}

DisposableJson NodeReasons(const RecordSchema& schema, const nlohmann::json& node,
                           std::size_t index, const Reasons& why) {
  DisposableJson reasons = nlohmann::json::object();
  for (const FieldSchema& field : schema.fields) {
    if (IsEmpty(field, node))
      reasons[std::string(field.name)] = FieldReason(why, index, field.name);
  }
  return reasons;
}

// A single record with no field: its fields' reasons, each said once, in field order.
std::string WhyNoFields(const RecordSchema& schema, const Reasons& why) {
  std::string joined;
  std::vector<const std::string*> said;
  for (const FieldSchema& field : schema.fields) {
    const std::string* reason = why.FieldReason(0, field.name);
    if (reason == nullptr) continue;
    bool again = false;
    for (const std::string* earlier : said) again = again || *earlier == *reason;
    if (again) continue;
    said.push_back(reason);
    joined += (joined.empty() ? "" : "; ") + *reason;
  }
  return joined.empty() ? std::string(kNoValue) : joined;
}

}  // namespace

DisposableJson ReasonsToJson(const RecordSchema& schema, const nlohmann::json& record,
                             const Reasons& why) {
  if (record.is_null()) {
    if (!why.AbsentReason().empty()) return nlohmann::json(why.AbsentReason());
    return nlohmann::json(schema.isList ? std::string(kNoDevice) : WhyNoFields(schema, why));
  }
  if (!schema.isList) return NodeReasons(schema, record, 0, why);
  DisposableJson nodes = nlohmann::json::array();
  for (std::size_t i = 0; i < record.size(); ++i) {
    nodes.push_back(NodeReasons(schema, record[i], i, why));
  }
  return nodes;
}

}  // namespace harnel::findings
