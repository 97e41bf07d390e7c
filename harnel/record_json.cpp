#include "harnel/record_json.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "harnel/decode/utf16.h"

namespace harnel {
namespace {

std::string CheckNode(const RecordSchema& schema, const nlohmann::json& node,
                      const std::string& where) {
  if (!node.is_object()) return where + ": expected an object";
  for (const FieldSchema& field : schema.fields) {
    const auto it = node.find(field.name);
    if (it == node.end() || it->is_null()) continue;
    const std::string at = where + "." + std::string(field.name);
    if (field.kind == FieldKind::FieldText) {
      if (!it->is_string()) return at + ": expected a string or null";
      // A record's text is read up to its first zero unit: the rest could never be replayed,
      // and a capture would then differ from the profile it replayed.
      if (it->get_ref<const std::string&>().find('\0') != std::string::npos) {
        return at + ": a text cannot hold U+0000";
      }
      continue;
    }
    const bool fits =
        (it->is_number_unsigned() &&
         it->get<std::uint64_t>() <= std::uint64_t{std::numeric_limits<int32_t>::max()}) ||
        (it->is_number_integer() && !it->is_number_unsigned() &&
         it->get<std::int64_t>() >= std::numeric_limits<int32_t>::min() &&
         it->get<std::int64_t>() <= std::numeric_limits<int32_t>::max());
    if (!fits) return at + ": expected an integer from -2147483648 to 2147483647";
  }
  return {};
}

template <class T>
void Store(std::byte* node, std::size_t offset, T value) {
  std::memcpy(node + offset, &value, sizeof value);
}

template <class T>
T Load(const std::byte* node, std::size_t offset) {
  T value;
  std::memcpy(&value, node + offset, sizeof value);
  return value;
}

nlohmann::ordered_json NodeToJson(const RecordSchema& schema, const std::byte* node) {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  for (const FieldSchema& field : schema.fields) {
    if (field.kind == FieldKind::FieldInt32) {
      out[std::string(field.name)] = Load<int32_t>(node, field.offset);
      continue;
    }
    const WChar* text = Load<const WChar*>(node, field.offset);
    out[std::string(field.name)] =
        text == nullptr ? nlohmann::ordered_json(nullptr)
                        : nlohmann::ordered_json(decode::Utf16ToUtf8(WStringView(text)));
  }
  return out;
}

}  // namespace

std::string CheckRecordJson(const RecordSchema& schema, const nlohmann::json& value) {
  const std::string key(schema.key);
  if (value.is_null()) return {};
  if (!schema.isList) return CheckNode(schema, value, key);
  if (!value.is_array()) return key + ": expected an array of objects";
  for (std::size_t i = 0; i < value.size(); ++i) {
    std::string problem = CheckNode(schema, value[i], key + "[" + std::to_string(i) + "]");
    if (!problem.empty()) return problem;
  }
  return {};
}

HeldRecord BuildRecord(const RecordSchema& schema, const nlohmann::json& value) {
  HeldRecord held;
  if (value.is_null()) return held;
  const auto addNode = [&](const nlohmann::json& source) {
    // Zeroed, so that absent fields are null or 0 and the last node's next is null.
    held.nodes_.push_back(std::make_unique<std::byte[]>(schema.size));
    std::byte* node = held.nodes_.back().get();
    for (const FieldSchema& field : schema.fields) {
      const auto it = source.find(field.name);
      if (it == source.end() || it->is_null()) continue;
      if (field.kind == FieldKind::FieldInt32) {
        Store(node, field.offset, it->get<int32_t>());
        continue;
      }
      const WString text = decode::Utf8ToUtf16(it->get_ref<const std::string&>());
      held.strings_.push_back(std::make_unique<WChar[]>(text.size() + 1));
      std::memcpy(held.strings_.back().get(), text.data(), text.size() * sizeof(WChar));
      Store<const WChar*>(node, field.offset, held.strings_.back().get());
    }
    return node;
  };
  if (!schema.isList) {
    addNode(value);
    return held;
  }
  std::byte* previous = nullptr;
  for (const nlohmann::json& source : value) {
    std::byte* node = addNode(source);
    if (previous != nullptr) Store<void*>(previous, schema.nextOffset, node);
    previous = node;
  }
  return held;
}

nlohmann::ordered_json RecordToJson(const RecordSchema& schema, const void* first) {
  if (first == nullptr) return nullptr;
  const auto* node = static_cast<const std::byte*>(first);
  if (!schema.isList) return NodeToJson(schema, node);
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (; node != nullptr; node = Load<const std::byte*>(node, schema.nextOffset)) {
    list.push_back(NodeToJson(schema, node));
  }
  return list;
}

}  // namespace harnel
