// The pair exports on the records of data/export_cases.json: for each export a record in which
// every text field holds its own name (in lists with the node's number, two nodes), so that a
// pair shows which field it came from, and the pairs it must give; then records with null and
// empty fields and a list of one. The labels there are written out on their own, not taken
// from the library's tables, so that a wrong byte in either shows.

#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "dll/velmora.h"
#include "harnel/decode/utf16.h"
#include "tests/support/case_file.h"
#include "tests/support/each_allocation_failure.h"
#include "tests/support/every_export.h"
#include "tests/support/test_provider.h"

namespace {

using testprovider::Log;
using testprovider::ProvideProfile;
using testprovider::Source;

struct ExportCase {
  std::string name;  // the export's, and the case's where it has one
  int (*run)(PairList&);
  Source source;
  nlohmann::json profile;  // the record under its profile key
  PairList expected;
  std::size_t group;  // the pairs of the record or of one node
};

std::vector<ExportCase> ReadCases() {
  const CaseKeys keys = {{"export", "key", "record", "pairs"}, {"case"}};
  std::vector<ExportCase> cases;
  for (const nlohmann::json& c : ReadJsonCases<nlohmann::json>(
           VELMORA_SOURCE_DIR "/tests/pairs/data/export_cases.json", keys)) {
    const std::string key = c["key"];
    ExportCase one{c["export"], nullptr, testprovider::SourceOf(key), {{key, c["record"]}}, {}, 0};
    for (const every_export::ExportCall& call : every_export::kEveryExport) {
      if (one.name == call.name) one.run = call.pairs;
    }
    if (one.run == nullptr) throw std::runtime_error("no export " + one.name);
    if (c.contains("case")) one.name.append(": ").append(c["case"].get<std::string>());
    for (const nlohmann::json& pair : c["pairs"]) {
      one.expected.emplace_back(harnel::decode::Utf8ToUtf16(pair[0].get<std::string>()),
                                harnel::decode::Utf8ToUtf16(pair[1].get<std::string>()));
    }
    one.group = one.expected.size() / (c["record"].is_array() ? c["record"].size() : 1);
    cases.push_back(std::move(one));
  }
  return cases;
}

// Only `used` was asked for, `gets` times, and each record it gave was released exactly once.
void ExpectOnlyAsked(Source used, int gets, bool gaveRecord) {
  for (int i = 0; i < static_cast<int>(Source::Count); ++i) {
    const testprovider::SourceLog& log = Log(static_cast<Source>(i));
    SCOPED_TRACE(testing::Message() << "source " << i);
    EXPECT_EQ(log.wrongFrees, 0);
    EXPECT_EQ(log.held, 0);
    const int asked = static_cast<Source>(i) == used ? gets : 0;
    EXPECT_EQ(log.gets, asked);
    EXPECT_EQ(log.frees, gaveRecord ? asked : 0);
  }
}

// Each export appends its pairs after what the list holds, never clearing it, every time; with
// no record it gives -1 and leaves the list alone. Then the k-th allocation of the call fails,
// for every k until the call succeeds: the record is still released once, and of the pairs only
// whole groups appended before the failure stay.
TEST(PairExportsTest, EachExportAppendsItsLabelsAndFieldsInTableOrder) {
  std::set<int (*)(PairList&)> tested;
  for (const ExportCase& c : ReadCases()) {
    tested.insert(c.run);
    SCOPED_TRACE(c.name);
    testprovider::Reset();
    PairList pairs = {{WTEXT("earlier："), WTEXT("pair")}};
    const PairList before = pairs;
    EXPECT_EQ(c.run(pairs), -1);
    EXPECT_EQ(pairs, before);
    ExpectOnlyAsked(c.source, 1, false);

    testprovider::Reset();
    const auto held = ProvideProfile(c.profile);
    PairList whole = before;
    for (int call = 1; call <= 2; ++call) {
      EXPECT_EQ(c.run(pairs), 0);
      whole.insert(whole.end(), c.expected.begin(), c.expected.end());
      EXPECT_EQ(pairs, whole);
      ExpectOnlyAsked(c.source, call, true);
    }
    whole.resize(before.size() + c.expected.size());

    const bool singleRecord = c.source <= Source::Userinfo;
    EachAllocationFailure failure(false, 1000);
    while (failure.Next()) {
      SCOPED_TRACE(failure.Name());
      testprovider::Reset();
      const auto again = ProvideProfile(c.profile);
      pairs = before;
      int result = 0;
      const bool threw = failure.Run([&] { result = c.run(pairs); });
      ExpectOnlyAsked(c.source, 1, true);
      if (!threw) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(pairs, whole);
      } else if (singleRecord) {
        EXPECT_EQ(pairs, before);
      } else {
        EXPECT_TRUE(every_export::IsPrefix(pairs, whole));
        EXPECT_EQ((pairs.size() - before.size()) % c.group, 0u);
      }
    }
    // Building a pair allocates, so at least one path must have failed.
    EXPECT_GT(failure.Failures(), 0);
  }
  EXPECT_EQ(tested.size(), 14u);  // every pair export
}

}  // namespace
