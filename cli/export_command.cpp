#include <ctime>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "cli/glpi_export.h"
#include "cli/provider_json.h"
#include "fleet/glpi_document.h"
#include "fleet/ocs_document.h"
#include "provider/provider.h"

namespace velmora::cli {

namespace {

// The machine, or the replayed profile, as the provider gives it: records and Machine key.
nlohmann::json MachineProfile() {
  return nlohmann::json(ProviderMachineJson(nullptr, HARNEL_JSON_VALUES));
}

}  // namespace

std::string GlpiExportText(const Context& context, const std::string& deviceId,
                           const std::string& tag) {
  fleet::GlpiOptions options;
  options.deviceId = deviceId;
  options.tag = tag;
  options.client = "Velmora " VELMORA_VERSION;
  if (context.profile.empty()) options.readAt = std::time(nullptr);
  return fleet::GlpiDocument(MachineProfile(), options)
             .dump(2, ' ', false, nlohmann::json::error_handler_t::replace) +
         "\n";
}

std::string OcsExportText(const std::string& deviceId, const std::string& tag) {
  fleet::OcsOptions options;
  options.deviceId = deviceId;
  options.tag = tag;
  options.client = "Velmora " VELMORA_VERSION;
  return fleet::OcsDocument(MachineProfile(), options);
}

std::string ExportText(const Context& context, fleet::DeliveryFormat format,
                       const std::string& deviceId, const std::string& tag) {
  return format == fleet::DeliveryFormat::DeliveryOcs ? OcsExportText(deviceId, tag)
                                                      : GlpiExportText(context, deviceId, tag);
}

Action AddExportCommand(CLI::App* command, const Context& context) {
  struct Options {
    std::string format, deviceId;
  };
  auto options = std::make_shared<Options>();
  command
      ->add_option("--format", options->format,
                   "The format: glpi (GLPI's inventory JSON) or ocs (OCS Inventory's XML)")
      ->required()
      ->check(CLI::IsMember({"glpi", "ocs"}));
  command->add_option("--deviceid", options->deviceId,
                      "The device id to give (default: computer name and system UUID)");
  return [command, options, &context] {
    if (!command->parsed()) return -1;
    Context::Print(
        ExportText(context, *fleet::DeliveryFormatNamed(options->format), options->deviceId));
    return 0;
  };
}

}  // namespace velmora::cli
