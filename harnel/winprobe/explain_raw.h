#pragma once
// The Windows readers' reasons: why a record is empty where it is, told from the raw data its
// reader gathered (raw_values.h). Needs nothing of Windows, so both builds test it on captured
// machines.

#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/probe/reasons.h"

namespace harnel::winprobe {

// Says into `why` why `record`, what ParseWindowsRecord made of `raw` for the profile key
// `key`, is null, or where its fields are null or 0.
void ExplainWindowsRecord(std::string_view key, const nlohmann::json& raw,
                          const nlohmann::json& record, probe::Reasons& why);

}  // namespace harnel::winprobe
