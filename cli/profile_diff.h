#pragma once
// What changed between two inventories of a machine.

#include <nlohmann/json.hpp>

namespace velmora::cli {

// The changes from `older` to `newer`, two machine profiles (top-level objects whose records
// have the form the record schema checks), per record in provider order. Within a record:
// devices added (in the new list's order), devices removed (in the old list's order), then
// devices whose fields changed. Each change is an object:
//   "record"    the profile key ("StorageList")
//   "change"    "added", "removed" or "changed"
//   "identity"  the fields that name the device (DeviceIdentity); null for a single record
//   "values"    added and removed: every field of the record or node
//   "fields"    changed: {"field": {"old": ..., "new": ...}} for each field that differs
// An absent text is null and an absent integer 0, as replay reads them; an absent record, a
// null one and an empty list are all no record. Nodes of equal identity pair in list order.
nlohmann::ordered_json DiffProfiles(const nlohmann::json& older, const nlohmann::json& newer);

}  // namespace velmora::cli
