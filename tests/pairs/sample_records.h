#pragma once
// The pair tests' cases, read from data/export_cases.json: for each export the record it reads
// (every text field holds its own name, in lists with the node's number, so a pair shows which
// field it came from) and the pairs it must give. The labels there are written out on their
// own, not taken from the library's tables, so that a wrong byte in either shows.

#include <string>
#include <vector>

#include "dll/velmora.h"
#include "tests/support/test_provider.h"

namespace testprovider {

struct ExportCase {
  std::string name;
  int (*run)(PairList&);
  Source source;
  nlohmann::json profile;  // the record under its profile key; lists hold two nodes
  PairList expected;
};

// The fourteen exports.
const std::vector<ExportCase>& ExportCases();

}  // namespace testprovider
