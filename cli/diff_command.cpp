#include <cstdio>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/machine_facts.h"
#include "cli/profile_diff.h"
#include "cli/provider_json.h"
#include "cli/record_views.h"
#include "provider/provider.h"

namespace velmora::cli {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kThisMachine = "-";

std::string Shown(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The change's record and the device it concerns: `StorageList name="/dev/sda" model="X"`.
std::string Subject(const Json& change) {
  std::string out = change["record"].get<std::string>();
  if (!change["identity"].is_object()) return out;
  for (const auto& [field, value] : change["identity"].items()) {
    out += " " + field + "=" + Shown(value);
  }
  return out;
}

// A record's field as the pair labels know it, or as the Machine key's captions do.
std::string Caption(const std::string& record, const std::string& field) {
  std::string caption = FieldCaption(record, field);
  return caption.empty() ? MachineFieldCaption(record, field) : caption;
}

// One line per device added or removed and one per field changed.
std::string AsText(const Json& changes) {
  std::string out;
  for (const Json& change : changes) {
    const std::string subject = Subject(change);
    const std::string kind = change["change"].get<std::string>();
    if (kind != "changed") {
      out += subject + ": " + kind + "\n";
      continue;
    }
    const std::string record = change["record"].get<std::string>();
    for (const auto& [field, values] : change["fields"].items()) {
      out += subject + ": " + Caption(record, field) + " (" + field + "): " + Shown(values["old"]) +
             " -> " + Shown(values["new"]) + "\n";
    }
  }
  return out;
}

// The records of one side of the comparison: the profile file `source`, or for "-" this machine
// as the provider gives it now (replaying `replayed` when that is set). nullopt, with a line on
// standard error naming the file and why, when a profile is unusable.
std::optional<nlohmann::json> LoadSide(const std::string& source, const std::string& replayed) {
  const std::string& file = source == kThisMachine ? replayed : source;
  if (!file.empty()) {
    ProfileFile loaded = ReadProfileFile(file);
    if (!loaded.problem.empty()) {
      std::fprintf(stderr, "velmora: %s: %s\n", file.c_str(), loaded.problem.c_str());
      return std::nullopt;
    }
    if (source != kThisMachine) return nlohmann::json(std::move(loaded.profile));
  }
  return nlohmann::json(ProviderMachineJson(nullptr, HARNEL_JSON_VALUES));
}

}  // namespace

Action AddDiffCommand(CLI::App* command, const Context& context) {
  struct Options {
    std::string older, newer;
    bool json = false;
  };
  auto options = std::make_shared<Options>();
  command->add_option("OLD", options->older, "The earlier profile; - for this machine now")
      ->required();
  command->add_option("NEW", options->newer, "The later profile; - for this machine now")
      ->required();
  command->add_flag("--json", options->json, "A JSON array of change objects");

  return [command, options, &context] {
    if (!command->parsed()) return -1;
    const std::optional<nlohmann::json> older = LoadSide(options->older, context.profile);
    if (!older) return 2;
    const std::optional<nlohmann::json> newer = LoadSide(options->newer, context.profile);
    if (!newer) return 2;
    const Json changes = DiffProfiles(*older, *newer);
    if (options->json) {
      Context::Print(changes.dump(2) + "\n");
    } else {
      Context::Print(AsText(changes));
    }
    return changes.empty() ? 0 : 1;
  };
}

}  // namespace velmora::cli
