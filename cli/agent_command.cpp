#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#include "cli/commands.h"
#include "cli/glpi_export.h"
#include "cli/text_output.h"
#include "fleet/agent_config.h"
#include "fleet/agent_run.h"
#include "fleet/credentials.h"
#include "platform/run_lock.h"
#include "platform/state_places.h"

namespace velmora::cli {
namespace {

struct AgentOptions {
  std::string config;
  bool force = false;
};

// The journal: one line per server and run, on standard error, where a timer's service log
// and a scheduled task's history take it.
void Journal(const std::string& line) {
  std::fprintf(stderr, "velmora: agent: %s\n", OneLine(line).c_str());
}

int ConfigError(const std::string& why) {
  Journal(why);
  return 2;
}

int RunAgent(const AgentOptions& options, const Context& context) {
  const std::filesystem::path configFile =
      options.config.empty() ? platform::AgentConfigFile() : std::filesystem::path(options.config);
  std::string why;
  const std::optional<fleet::AgentConfig> config = fleet::ReadAgentConfig(configFile, why);
  if (!config) return ConfigError(why);
  // The packaged timer runs the agent before anyone has named a server: not an error.
  if (config->servers.empty()) {
    Journal(configFile.string() + " names no server: nothing to do");
    return 0;
  }
  fleet::AgentRun run;
  if (!config->credentials.empty()) {
    const std::optional<fleet::Credentials> credentials =
        fleet::ReadCredentials(config->credentials, why);
    if (!credentials) return ConfigError(why);
    run.settings.basicUser = credentials->user;
    run.settings.basicPassword = credentials->password;
  }
  run.settings.caFile = config->caFile.string();
  run.settings.timeoutSeconds = config->timeoutSeconds;
  run.servers = config->servers;
  run.stateFolder = config->state.empty() ? platform::AgentStateFolder() : config->state;
  std::error_code error;
  std::filesystem::create_directories(run.stateFolder, error);
  if (error) {
    Journal(run.stateFolder.string() + ": cannot be made: " + error.message());
    return 1;
  }

  const platform::RunLock lock(run.stateFolder);
  if (!lock.held()) {
    if (!lock.why().empty()) {
      Journal("cannot lock " + lock.why());
      return 1;
    }
    Journal("another run holds " + run.stateFolder.string() + ": this one leaves it");
    return 0;
  }

  // Each document only when a server takes it: reading the machine is the run's dearest part.
  bool glpi = false, ocs = false;
  for (const std::string& url : run.servers) {
    const fleet::DeliveryFormat format = config->format.value_or(fleet::DeliveryFormatOf(url));
    (format == fleet::DeliveryFormat::DeliveryOcs ? ocs : glpi) = true;
  }
  run.format = config->format;
  if (glpi) run.document = GlpiExportText(context, config->deviceId, config->tag);
  if (ocs) run.ocsDocument = OcsExportText(config->deviceId, config->tag);
  run.force = options.force;
  run.now = static_cast<std::int64_t>(std::time(nullptr));
  std::mt19937_64 engine{std::random_device{}()};
  run.random = [&engine](std::int64_t most) {
    return std::uniform_int_distribution<std::int64_t>(0, most)(engine);
  };
  int status = 0;
  for (const fleet::ServerOutcome& outcome : fleet::RunAgent(run)) {
    Journal(outcome.journal);
    if (!outcome.settled) status = 1;
  }
  return status;
}

}  // namespace

Action AddAgentCommand(CLI::App* command, const Context& context) {
  auto options = std::make_shared<AgentOptions>();
  command->add_option("--config", options->config,
                      "Read this configuration file instead of the machine's agent.conf");
  command->add_flag("--force", options->force,
                    "Send even an unchanged inventory, even to a server being left alone");
  return [command, options, &context] {
    if (!command->parsed()) return -1;
    return RunAgent(*options, context);
  };
}

}  // namespace velmora::cli
