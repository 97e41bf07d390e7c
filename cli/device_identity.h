#pragma once
// Which device a list node describes, so that two inventories of one machine can be matched
// node for node whatever order their lists come in.

#include <nlohmann/json.hpp>

#include "harnel/schema.h"

namespace velmora::cli {

// The identity of `node` (a list node of `schema` in the profile form, every field present):
// an object of the fields that name the device, in table order. Each list kind has its
// own fields and a fallback for nodes whose first identity field is null; a node that has
// neither is known by all the record's fields. Nodes with equal identities describe the same
// device.
nlohmann::ordered_json DeviceIdentity(const harnel::RecordSchema& schema,
                                      const nlohmann::ordered_json& node);

}  // namespace velmora::cli
