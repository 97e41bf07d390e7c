#pragma once
// Records for the pair tests: every text field holds its own name (lists: name and node
// number), so a pair shows which field it was read from.

#include <vector>

#include "dll/velmora.h"
#include "tests/pairs/test_provider.h"

namespace testprovider {

// One export with the record it reads and the pairs it must give for that record.
struct ExportCase {
  const char* name;
  int (*run)(PairList&);
  Source source;
  const void* record;
  PairList expected;
};

// The fourteen exports; list records hold two nodes.
const std::vector<ExportCase>& ExportCases();

}  // namespace testprovider
