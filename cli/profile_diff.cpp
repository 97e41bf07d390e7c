#include "cli/profile_diff.h"

#include <string>
#include <vector>

#include "cli/device_identity.h"
#include "cli/machine_facts.h"
#include "cli/record_views.h"
#include "harnel/schema.h"

namespace velmora::cli {
namespace {

using Json = nlohmann::ordered_json;

// Every field of the profile object `source` in table order, with the values replay gives an
// absent one, so that "absent" and "null" (or 0) compare equal; then the fields the Machine key
// adds to it (`added`), null where it gives none.
Json Normalized(const harnel::RecordSchema& schema, const nlohmann::json& source,
                const nlohmann::json& added) {
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
  if (&schema == &kSystemSchema) return node;  // its fields are all the Machine key's
  for (std::string_view field : MachineFields(schema.key)) {
    const std::string name(field);
    const auto it = added.find(name);
    node[name] = it != added.end() ? Json(*it) : Json();
  }
  return node;
}

// The record (one node) or the list's nodes stored under the schema's key (the system: under
// the Machine key), each with what the Machine key adds to it; none when absent.
std::vector<Json> Nodes(const harnel::RecordSchema& schema, const nlohmann::json& profile) {
  std::vector<Json> nodes;
  if (!profile.is_object()) return nodes;
  static const nlohmann::json kNone;
  const bool system = &schema == &kSystemSchema;
  const auto it = profile.find(std::string(schema.key));
  const nlohmann::json& record = system                ? MachineFactsOf(profile, schema.key, 0)
                                 : it != profile.end() ? *it
                                                       : kNone;
  if (record.is_null()) return nodes;
  if (!schema.isList) {
    nodes.push_back(
        Normalized(schema, record, system ? kNone : MachineFactsOf(profile, schema.key, 0)));
    return nodes;
  }
  for (std::size_t i = 0; i < record.size(); ++i) {
    nodes.push_back(Normalized(schema, record[i], MachineFactsOf(profile, schema.key, i)));
  }
  return nodes;
}

Json Change(const harnel::RecordSchema& schema, const char* kind, Json identity) {
  return Json{{"record", std::string(schema.key)}, {"change", kind}, {"identity", identity}};
}

void AddPresence(Json& changes, const harnel::RecordSchema& schema, const char* kind,
                 const Json& node) {
  Json change = Change(schema, kind, schema.isList ? DeviceIdentity(schema, node) : Json());
  change["values"] = node;
  // The Machine key's fields only where it gives a value: a capture without the key lists the
  // record's fields alone.
  for (std::string_view field : MachineFields(schema.key)) {
    const auto it = change["values"].find(std::string(field));
    if (it != change["values"].end() && it->is_null()) change["values"].erase(it);
  }
  changes.push_back(std::move(change));
}

void AddFieldChanges(Json& changes, const harnel::RecordSchema& schema, const Json& identity,
                     const Json& older, const Json& newer) {
  Json fields = Json::object();
  for (const auto& [name, value] : older.items()) {
    if (value != newer[name]) fields[name] = {{"old", value}, {"new", newer[name]}};
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
  for (const RecordView& view : RecordViews()) {
    DiffRecord(changes, *view.schema, Nodes(*view.schema, older), Nodes(*view.schema, newer));
  }
  DiffRecord(changes, kSystemSchema, Nodes(kSystemSchema, older), Nodes(kSystemSchema, newer));
  return changes;
}

}  // namespace velmora::cli
