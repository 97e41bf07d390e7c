#include "harnel/probe.h"

#include "harnel/winprobe/parse.h"
#include "harnel/winprobe/read.h"

namespace harnel {

// The root folder has no meaning on Windows: the running machine is read.
nlohmann::json ProbeMachine(std::string_view key, const std::filesystem::path& /*root*/) {
  // A reader that fails in a way it did not foresee (memory, say) leaves its record out
  // rather than the whole inventory.
  try {
    return winprobe::ParseWindowsRecord(key, winprobe::ReadWindowsRecord(key));
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace harnel
