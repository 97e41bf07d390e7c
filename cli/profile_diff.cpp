#include "cli/profile_diff.h"

#include <string>
#include <vector>

#include "cli/device_identity.h"
#include "harnel/schema.h"

namespace velmora::cli {
namespace {

using Json = nlohmann::ordered_json;

// Every field of the profile object `source` in table order, with the values replay gives an
// absent one, so that "absent" and "null" (or 0) compare equal.
Json Normalized(const harnel::RecordSchema& schema, const nlohmann::json& source) {
  Json node = Json::object();
  for (const harnel::FieldSchema& field : schema.fields) {
    const std::string name(field.name);
    const auto it = source.find(name);
    if (it != source.end() && !it->is_null()) {
      node[name] = Json(*it);
    } else if (field.kind == harnel::FieldKind::FieldText) {
      node[name] = nullptr;
    } else {
      node[name] = 0;
    }
  }
  return node;
}

// The record (one node) or the list's nodes stored under the schema's key; none when absent.
std::vector<Json> Nodes(const harnel::RecordSchema& schema, const nlohmann::json& profile) {
  std::vector<Json> nodes;
  if (!profile.is_object()) return nodes;
  const auto it = profile.find(std::string(schema.key));
  if (it == profile.end() || it->is_null()) return nodes;
  if (!schema.isList) {
    nodes.push_back(Normalized(schema, *it));
    return nodes;
  }
  for (const nlohmann::json& node : *it) nodes.push_back(Normalized(schema, node));
  return nodes;
}

Json Change(const harnel::RecordSchema& schema, const char* kind, Json identity) {
  return Json{{"record", std::string(schema.key)}, {"change", kind}, {"identity", identity}};
}

void AddPresence(Json& changes, const harnel::RecordSchema& schema, const char* kind,
                 const Json& node) {
  Json change = Change(schema, kind, schema.isList ? DeviceIdentity(schema, node) : Json());
  change["values"] = node;
  changes.push_back(std::move(change));
}

void AddFieldChanges(Json& changes, const harnel::RecordSchema& schema, const Json& identity,
                     const Json& older, const Json& newer) {
  Json fields = Json::object();
  for (const harnel::FieldSchema& field : schema.fields) {
    const std::string name(field.name);
    if (older[name] != newer[name]) fields[name] = {{"old", older[name]}, {"new", newer[name]}};
  }
  if (fields.empty()) return;
  Json change = Change(schema, "changed", identity);
  change["fields"] = std::move(fields);
  changes.push_back(std::move(change));
}

void DiffRecord(Json& changes, const harnel::RecordSchema& schema, const std::vector<Json>& older,
                const std::vector<Json>& newer) {
  if (!schema.isList) {
    if (older.empty() && !newer.empty()) AddPresence(changes, schema, "added", newer[0]);
    if (!older.empty() && newer.empty()) AddPresence(changes, schema, "removed", older[0]);
    if (!older.empty() && !newer.empty()) {
      AddFieldChanges(changes, schema, nullptr, older[0], newer[0]);
    }
    return;
  }
  std::vector<Json> olderIds, newerIds;
  for (const Json& node : older) olderIds.push_back(DeviceIdentity(schema, node));
  for (const Json& node : newer) newerIds.push_back(DeviceIdentity(schema, node));
  // Each old node takes the first new node of its identity not yet taken, so that devices of
  // the same identity pair in list order.
  std::vector<std::size_t> partner(older.size(), newer.size());
  std::vector<bool> taken(newer.size(), false);
  for (std::size_t i = 0; i < older.size(); ++i) {
    for (std::size_t j = 0; j < newer.size(); ++j) {
      if (taken[j] || newerIds[j] != olderIds[i]) continue;
      partner[i] = j;
      taken[j] = true;
      break;
    }
  }
  for (std::size_t j = 0; j < newer.size(); ++j) {
    if (!taken[j]) AddPresence(changes, schema, "added", newer[j]);
  }
  for (std::size_t i = 0; i < older.size(); ++i) {
    if (partner[i] == newer.size()) AddPresence(changes, schema, "removed", older[i]);
  }
  for (std::size_t i = 0; i < older.size(); ++i) {
    if (partner[i] != newer.size()) {
      AddFieldChanges(changes, schema, olderIds[i], older[i], newer[partner[i]]);
    }
  }
}

}  // namespace

nlohmann::ordered_json DiffProfiles(const nlohmann::json& older, const nlohmann::json& newer) {
  Json changes = Json::array();
  for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
    DiffRecord(changes, schema, Nodes(schema, older), Nodes(schema, newer));
  }
  return changes;
}

}  // namespace velmora::cli
