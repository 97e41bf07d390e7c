#pragma once
// What each system's readers give the provider: the record of one kind read from the machine,
// and, from that same read, why it is empty where it is. Behind it each system keeps one table
// of its readers, a row per kind of record in the schema's order.

#include <filesystem>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/schema.h"

namespace harnel {

// The record that `schema` describes, read from the machine whose file system is rooted at
// `root` (on Windows the running machine), in its profile form as ProbeMachine returns it. When
// `why` is given, says into it why the record is empty where it is. Memory exhaustion and
// failures no reader foresaw pass to the caller.
nlohmann::json ReadRecord(const RecordSchema& schema, const std::filesystem::path& root,
                          findings::Reasons* why);

}  // namespace harnel
