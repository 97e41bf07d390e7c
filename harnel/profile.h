#pragma once
// Reading a machine profile file.

#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

namespace harnel {

struct LoadedProfile {
  nlohmann::json records;  // the top-level object; null when the file is unusable
  std::string problem;     // why the file is unusable; empty when it is fine
};

// Reads, parses and checks the profile at `path`: a top-level object whose known keys each
// hold a record in the form the record schema gives. Never throws for a bad file.
LoadedProfile LoadProfile(const std::filesystem::path& path);

}  // namespace harnel
