#include <memory>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/machine_facts.h"
#include "cli/provider_reasons.h"
#include "harnel/schema.h"

namespace velmora::cli {
namespace {

// True when `reasons` explains something: a record's absence, or a field of it or of a node.
template <class Json>
bool SaysAnything(const Json& reasons) {
  if (reasons.is_string() || reasons.is_object()) return !reasons.empty();
  if (!reasons.is_array()) return false;
  for (const Json& node : reasons) {
    if (SaysAnything(node)) return true;
  }
  return false;
}

// The provider's reasons of every record that has any, by profile key in provider order.
nlohmann::ordered_json CaptureReasons() {
  nlohmann::ordered_json all = nlohmann::ordered_json::object();
  for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
    const nlohmann::json reasons = ProviderReasons(schema.key);
    if (SaysAnything(reasons)) all[std::string(schema.key)] = reasons;
  }
  return all;
}

}  // namespace

Action AddCaptureCommand(CLI::App& app, const Context& context) {
  auto reasons = std::make_shared<bool>(false);
  CLI::App* command =
      app.add_subcommand("capture", "Write the provider's records as a machine profile");
  command->add_flag("--reasons", *reasons,
                    "Add, under \"Reasons\", why each absent record and empty field is empty");
  command->fallthrough();
  return [command, reasons, &context] {
    if (!command->parsed()) return -1;
    nlohmann::ordered_json machineReasons;
    nlohmann::ordered_json profile = CaptureMachine(context.profile, &machineReasons);
    // Beside the records, under a key that replay does not know and so leaves alone. A
    // provider replaying a profile has no machine to explain, and nothing is added.
    if (*reasons) {
      nlohmann::ordered_json why = CaptureReasons();
      if (SaysAnything(machineReasons)) why[std::string(kMachineKey)] = std::move(machineReasons);
      if (!why.empty()) profile["Reasons"] = std::move(why);
    }
    Context::Print(profile.dump(2) + "\n");
    return 0;
  };
}

}  // namespace velmora::cli
