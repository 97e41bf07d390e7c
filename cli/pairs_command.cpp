#include <cstdio>
#include <memory>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/provider_reasons.h"
#include "cli/record_views.h"

namespace velmora::cli {
namespace {

// The reason beside each pair: the provider gives one only for null and zero fields, and none
// at all when `reasons` is null. Pairs come in groups of one per field that the export shows,
// one group per node.
std::vector<std::string> PairReasons(const RecordView& kind, const PairList& pairs,
                                     const nlohmann::json& reasons) {
  std::vector<std::string> out(pairs.size());
  const auto& fields = kind.pairFields;
  if (reasons.is_null() || fields.empty()) return out;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    out[i] = FieldReason(reasons, i / fields.size(), fields[i % fields.size()]->name);
  }
  return out;
}

// Label, tab, value; with reasons, a tab and the reason in parentheses after an empty value.
std::string AsLines(const PairList& pairs, const std::vector<std::string>& reasons) {
  std::string out;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    out += ToUtf8(pairs[i].first) + "\t" + ToUtf8(pairs[i].second);
    if (!reasons[i].empty()) out += "\t(" + reasons[i] + ")";
    out += "\n";
  }
  return out;
}

// One pair per line, so that a diff of two machines reads pair by pair; with reasons, the
// reason is a third member of the pair's array.
std::string AsJson(const PairList& pairs, const std::vector<std::string>& reasons) {
  std::string out = "[";
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    nlohmann::json pair = {ToUtf8(pairs[i].first), ToUtf8(pairs[i].second)};
    if (!reasons[i].empty()) pair.push_back(reasons[i]);
    out += (i == 0 ? "\n  " : ",\n  ") + pair.dump();
  }
  return out + (pairs.empty() ? "]\n" : "\n]\n");
}

}  // namespace

Action AddPairsCommand(CLI::App* command, const Context& context) {
  struct Options {
    std::string kind;
    bool json = false;
    bool reasons = false;
  };
  auto options = std::make_shared<Options>();
  std::vector<std::string> names;
  for (const RecordView& kind : RecordViews()) {
    if (kind.run != nullptr) names.emplace_back(kind.name);
  }

  command->add_option("KIND", options->kind, "The export: " + CLI::detail::join(names, ", "))
      ->required()
      ->check(CLI::IsMember(names));
  command->add_flag("--json", options->json, "A JSON array of [label, value] arrays");
  command->add_flag("--reasons", options->reasons,
                    "Say beside each empty value why it is empty, as the provider explains it");

  return [command, options, &context] {
    (void)context;
    if (!command->parsed()) return -1;
    const RecordView& kind = *FindPairExport(options->kind);
    PairList pairs;
    const int status = kind.run(pairs);
    const nlohmann::json reasons =
        options->reasons ? ProviderReasons(kind.schema->key) : nlohmann::json();
    // No record: nothing on standard output, and the status says so; the reason, when asked
    // for, goes where messages go.
    if (status != 0) {
      const std::string reason = RecordReason(reasons);
      if (!reason.empty()) {
        std::fputs(("velmora: pairs " + options->kind + ": " + reason + "\n").c_str(), stderr);
      }
      return 1;
    }
    const std::vector<std::string> beside = PairReasons(kind, pairs, reasons);
    Context::Print(options->json ? AsJson(pairs, beside) : AsLines(pairs, beside));
    return 0;
  };
}

}  // namespace velmora::cli
