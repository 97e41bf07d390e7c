#include <algorithm>

#include "cli/commands.h"
#include "cli/provider_reasons.h"
#include "cli/record_views.h"

namespace velmora::cli {
namespace {

// One section: the labels padded to one column, so values line up under each other;
// devices of a list kept apart by a blank line. A record that is not there is shown with the
// provider's reason, in the parentheses of "(none)" where it gives none.
std::string Section(const RecordView& kind, const PairList& pairs, const Style& style) {
  std::string out = style.Heading(kind.heading) + "\n";
  if (pairs.empty()) {
    std::string reason = RecordReason(ProviderReasons(kind.schema->key));
    return out + "  " + style.Dim("(" + (reason.empty() ? "none" : reason) + ")") + "\n";
  }
  int column = 0;
  for (const auto& [label, value] : pairs) column = std::max(column, DisplayWidth(label));
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (kind.GroupSize() > 0 && i > 0 && i % kind.GroupSize() == 0) out += "\n";
    const auto& [label, value] = pairs[i];
    out += "  " + ToUtf8(label);
    if (!value.empty()) out += std::string(column - DisplayWidth(label) + 1, ' ') + ToUtf8(value);
    out += "\n";
  }
  return out;
}

}  // namespace

int RunInventory(const Context& context) {
  std::string out;
  for (const RecordView& kind : RecordViews()) {
    if (kind.run == nullptr) continue;
    PairList pairs;
    kind.run(pairs);
    if (!out.empty()) out += "\n";
    out += Section(kind, pairs, context.style);
  }
  Context::Print(out);
  return 0;
}

}  // namespace velmora::cli
