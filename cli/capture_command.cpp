#include <memory>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/provider_json.h"
#include "provider/provider.h"

namespace velmora::cli {

Action AddCaptureCommand(CLI::App* command, const Context& context) {
  auto reasons = std::make_shared<bool>(false);
  command->add_flag("--reasons", *reasons,
                    "Add, under \"Reasons\", why each absent record and empty field is empty");
  return [command, reasons, &context] {
    (void)context;
    if (!command->parsed()) return -1;
    // A provider replaying a profile has no machine to explain, and adds no reasons.
    const unsigned int parts = HARNEL_JSON_VALUES | (*reasons ? HARNEL_JSON_REASONS : 0u);
    Context::Print(ProviderMachineJson(nullptr, parts).dump(2) + "\n");
    return 0;
  };
}

}  // namespace velmora::cli
