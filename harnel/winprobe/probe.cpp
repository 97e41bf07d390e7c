#include "harnel/probe.h"

#include "harnel/disposable_json.h"
#include "harnel/winprobe/parse.h"
#include "harnel/winprobe/read.h"

namespace harnel {

// The root folder has no meaning on Windows: the running machine is read.
nlohmann::json ProbeMachine(std::string_view key, const std::filesystem::path& /*root*/) {
  return ReadOrLeaveOut([key] {
    const DisposableJson raw = winprobe::ReadWindowsRecord(key);
    return winprobe::ParseWindowsRecord(key, raw);
  });
}

}  // namespace harnel
