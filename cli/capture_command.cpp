#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "harnel/record_json.h"
#include "harnel/schema.h"

namespace velmora::cli {

Action AddCaptureCommand(CLI::App& app, const Context& /*context*/) {
  CLI::App* command =
      app.add_subcommand("capture", "Write the provider's records as a machine profile");
  command->fallthrough();
  return [command] {
    if (!command->parsed()) return -1;
    // Every key is written, a missing record as null, so that replaying the capture gives
    // the same records and the same gaps.
    nlohmann::ordered_json profile = nlohmann::ordered_json::object();
    for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
      void* record = schema.get();
      try {
        profile[std::string(schema.key)] = harnel::RecordToJson(schema, record);
      } catch (...) {
        if (record != nullptr) schema.release(record);
        throw;
      }
      if (record != nullptr) schema.release(record);
    }
    Context::Print(profile.dump(2) + "\n");
    return 0;
  };
}

}  // namespace velmora::cli
