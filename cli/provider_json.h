#pragma once
// What the provider gives as profile JSON (provider/provider.h, ABI 1.1): the machine it reads
// now and profile files read by its own reader, so that every command sees the one provider of
// the process and reads a profile only as replay reads it.

#include <string>

#include <nlohmann/json.hpp>

namespace velmora::cli {

// The part `section` (null: the whole profile) of the machine the provider reads now;
// `parts` as HarnelGetMachineJson takes them. Throws std::runtime_error when the provider
// gives nothing (memory ran out, or the request is one it does not know).
nlohmann::ordered_json ProviderMachineJson(const char* section, unsigned int parts);

// A profile file as the provider's reader reads it: its records and Machine key, or why it
// cannot be used (`problem`, one line; then `profile` is null).
struct ProfileFile {
  nlohmann::ordered_json profile;
  std::string problem;
};
ProfileFile ReadProfileFile(const std::string& path);

}  // namespace velmora::cli
