#pragma once
// Reading the machine Velmora runs on.

#include <filesystem>
#include <string_view>

#include <nlohmann/json.hpp>

namespace harnel {

// Reads one kind of record from the machine whose file system is rooted at `root` and
// returns it in the machine-profile form: an object for a single record ("OS", "BIOS",
// ...), an array of objects for a list ("StorageList", ...), null when the machine has
// none. Never throws for what it cannot read; unreadable fields are left out. Memory
// exhaustion (std::bad_alloc) passes to the caller. On Windows `root` has no meaning: the
// running machine is read.
nlohmann::json ProbeMachine(std::string_view key, const std::filesystem::path& root);

}  // namespace harnel
