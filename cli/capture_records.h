#pragma once
// The provider's records as a machine profile.

#include <nlohmann/json.hpp>

namespace velmora::cli {

// Every record the provider gives now, in the profile form and in provider order; every key
// is written, a missing record as null, so that replaying it gives the same records and the
// same gaps. Each record is released before the next is asked for.
nlohmann::ordered_json CaptureRecords();

}  // namespace velmora::cli
