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

int RunPairs(const Context& /*context*/, const std::string& kind, bool json) {
  PairList pairs;
  // No record: nothing on standard output, and the status says so.
  if (FindPairKind(kind)->run(pairs) != 0) return 1;
  Context::Print(json ? AsJson(pairs) : AsLines(pairs));
  return 0;
}

}  // namespace velmora::cli
