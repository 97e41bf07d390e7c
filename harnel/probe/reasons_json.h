#pragma once
// The reasons a reader gave, in the form a capture and the provider's reasons entry hand on.

#include <initializer_list>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/disposable_json.h"
#include "harnel/probe/reasons.h"
#include "harnel/schema.h"

namespace harnel::probe {

// True when field `field` of `node` has no value: missing, null or 0.
bool NoValue(const nlohmann::json& node, std::string_view field);

// A reason that holds for a field of every node of a list where it has no value.
struct NodeFieldReason {
  std::string_view field;
  std::string_view why;
};
void ExplainNodes(const nlohmann::json& list, std::initializer_list<NodeFieldReason> reasons,
                  Reasons& why);

// Why the record `record` of `schema` (its profile form, null when there is none) is empty
// where it is, from what `why` gathered while it was read: a string when `record` is null;
// otherwise an object with the reason of each field that is absent, null or 0 ({} when there is
// none), or for a list an array of such objects, one per node. Where the reader said nothing, a
// missing record is explained by its fields' reasons, and anything else as no such device or no
// value found.
DisposableJson ReasonsToJson(const RecordSchema& schema, const nlohmann::json& record,
                             const Reasons& why);

}  // namespace harnel::probe
