#pragma once
// Where the provider takes its machine from, as the process's environment chooses it: the
// provider's core and the host program's reasons follow the same choice.

#include <filesystem>
#include <optional>

namespace harnel {

struct MachineSource {
  std::optional<std::filesystem::path> profile;  // replayed when set
  std::filesystem::path root;                    // else the machine is read under this folder
};

// HARNEL_PROFILE names a profile to replay; otherwise the machine is read under HARNEL_ROOT
// (default "/"), which lets tests point at a fixture tree. An empty variable counts as unset.
MachineSource MachineSourceFromEnvironment();

}  // namespace harnel
