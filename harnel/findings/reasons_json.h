#pragma once
// The reasons a reader gave, in the form a capture and the provider's reasons entry hand on.

#include <nlohmann/json.hpp>

#include "harnel/disposable_json.h"
#include "harnel/findings/reasons.h"
#include "harnel/schema.h"

namespace harnel::findings {

// Why the record `record` of `schema` (its profile form, null when there is none) is empty
// where it is, from what `why` gathered while it was read: a string when `record` is null;
// otherwise an object with the reason of each field that is absent, null or 0 ({} when there is
// none), or for a list an array of such objects, one per node. Where the reader said nothing, a
// missing record is explained by its fields' reasons, and anything else as no such device or no
// value found.
DisposableJson ReasonsToJson(const RecordSchema& schema, const nlohmann::json& record,
                             const Reasons& why);

}  // namespace harnel::findings
