#pragma once
// Reading the machine Velmora runs on.

#include <exception>
#include <filesystem>
#include <new>
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

// What the reader `read` of ProbeMachine returns. A reader that fails in a way it did not
// foresee (a library's exception) leaves its record out rather than the whole inventory.
// Memory running out is the caller's to know: a record left out for it would describe another
// machine.
template <class Read>
nlohmann::json ReadOrLeaveOut(Read&& read) {
  try {
    return read();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace harnel
