#include <nlohmann/json.hpp>

#include "cli/capture_records.h"
#include "cli/commands.h"

namespace velmora::cli {

Action AddCaptureCommand(CLI::App& app, const Context& /*context*/) {
  CLI::App* command =
      app.add_subcommand("capture", "Write the provider's records as a machine profile");
  command->fallthrough();
  return [command] {
    if (!command->parsed()) return -1;
    Context::Print(CaptureRecords().dump(2) + "\n");
    return 0;
  };
}

}  // namespace velmora::cli
