#pragma once
// Why a record of the machine is empty where it is: what `velmora capture --reasons`, the
// whole inventory and `pairs --reasons` show beside the records.

#include <filesystem>
#include <string_view>

#include <nlohmann/json.hpp>

namespace harnel {

// Reads the record stored under the profile key `key` as ProbeMachine does, and says why it is
// empty where it is: a string when there is no record at all; otherwise an object with the
// reason of each null or zero field ({} when there is none), or for a list an array of such
// objects, one per node. Null for an unknown key. Memory exhaustion passes to the caller, and
// the caller holds the result as a DisposableJson.
nlohmann::json ExplainMachine(std::string_view key, const std::filesystem::path& root);

}  // namespace harnel
