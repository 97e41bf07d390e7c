#include <memory>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/pair_kinds.h"

namespace velmora::cli {
namespace {

std::string AsLines(const PairList& pairs) {
  std::string out;
  for (const auto& [label, value] : pairs) out += ToUtf8(label) + "\t" + ToUtf8(value) + "\n";
  return out;
}

// One pair per line, so that a diff of two machines reads pair by pair.
std::string AsJson(const PairList& pairs) {
  std::string out = "[";
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const nlohmann::json pair = {ToUtf8(pairs[i].first), ToUtf8(pairs[i].second)};
    out += (i == 0 ? "\n  " : ",\n  ") + pair.dump();
  }
  return out + (pairs.empty() ? "]\n" : "\n]\n");
}

}  // namespace

Action AddPairsCommand(CLI::App& app, const Context& context) {
  struct Options {
    std::string kind;
    bool json = false;
  };
  auto options = std::make_shared<Options>();
  std::vector<std::string> names;
  for (const PairKind& kind : PairKinds()) names.emplace_back(kind.name);

  CLI::App* command = app.add_subcommand("pairs", "Print what one pair export returns");
  command->add_option("KIND", options->kind, "The export: " + CLI::detail::join(names, ", "))
      ->required()
      ->check(CLI::IsMember(names));
  command->add_flag("--json", options->json, "A JSON array of [label, value] arrays");
  command->fallthrough();

  return [command, options, &context] {
    (void)context;
    if (!command->parsed()) return -1;
    PairList pairs;
    // No record: nothing on standard output, and the status says so.
    if (FindPairKind(options->kind)->run(pairs) != 0) return 1;
    Context::Print(options->json ? AsJson(pairs) : AsLines(pairs));
    return 0;
  };
}

}  // namespace velmora::cli
