#pragma once
// The fourteen pair exports as the host program names and shows them.

#include <span>
#include <string_view>

#include "base/text.h"

namespace velmora::cli {

struct PairKind {
  std::string_view name;     // the KIND of `velmora pairs KIND`
  std::string_view heading;  // the section title of the whole-inventory view
  std::string_view record;   // the provider record it shows, by profile key
  int (*run)(PairList&);     // the export
  int groupSize;             // pairs per device for a list export; 0 for a single record
};

// In the order of the whole-inventory view.
std::span<const PairKind> PairKinds();

// The kind called `name`; null when there is none.
const PairKind* FindPairKind(std::string_view name);

}  // namespace velmora::cli
