#include <gtest/gtest.h>

#include "dll/velmora.h"
#include "tests/pairs/sample_records.h"
#include "tests/support/test_provider.h"

namespace {

using nlohmann::json;
using testprovider::ExportCase;
using testprovider::ExportCases;
using testprovider::Log;
using testprovider::ProvideProfile;
using testprovider::Source;

// Only `used` was asked for, once, and what it gave was released exactly once.
void ExpectBalanced(Source used, bool gaveRecord) {
  for (int i = 0; i < static_cast<int>(Source::Count); ++i) {
    const testprovider::SourceLog& log = Log(static_cast<Source>(i));
    SCOPED_TRACE(testing::Message() << "source " << i);
    EXPECT_EQ(log.wrongFrees, 0);
    EXPECT_EQ(log.held, 0);
    if (static_cast<Source>(i) == used) {
      EXPECT_EQ(log.gets, 1);
      EXPECT_EQ(log.frees, gaveRecord ? 1 : 0);
    } else {
      EXPECT_EQ(log.gets, 0);
      EXPECT_EQ(log.frees, 0);
    }
  }
}

// Each export appends its pairs after what the list holds, never clearing it, every time.
TEST(PairExportsTest, EachExportAppendsItsLabelsAndFieldsInTableOrder) {
  for (const ExportCase& c : ExportCases()) {
    SCOPED_TRACE(c.name);
    testprovider::Reset();
    const auto held = ProvideProfile(c.profile);
    PairList pairs = {{WTEXT("a"), WTEXT("b")}};
    PairList expected = pairs;
    for (int call = 1; call <= 2; ++call) {
      EXPECT_EQ(c.run(pairs), 0);
      expected.insert(expected.end(), c.expected.begin(), c.expected.end());
      EXPECT_EQ(pairs, expected);
      if (call == 1) ExpectBalanced(c.source, true);
    }
    EXPECT_EQ(Log(c.source).gets, 2);
    EXPECT_EQ(Log(c.source).frees, 2);
    EXPECT_EQ(Log(c.source).wrongFrees, 0);
  }
}

TEST(PairExportsTest, NoRecordGivesMinusOneAndNoFree) {
  const PairList before = {{WTEXT("kept："), WTEXT("value")}};
  for (const ExportCase& c : ExportCases()) {
    SCOPED_TRACE(c.name);
    testprovider::Reset();
    PairList pairs = before;
    EXPECT_EQ(c.run(pairs), -1);
    EXPECT_EQ(pairs, before);
    ExpectBalanced(c.source, false);
  }
}

TEST(PairExportsTest, NullTextFieldsGiveEmptyValuesInTheirPlace) {
  testprovider::Reset();
  auto held = ProvideProfile({{"OS", {{"osVersion", "10.0"}}}});
  PairList pairs;
  ASSERT_EQ(GetOSPair(pairs), 0);
  ASSERT_EQ(pairs.size(), 8u);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pairs[i].first, ExportCases()[0].expected[i].first);
    EXPECT_EQ(pairs[i].second, i == 2 ? WTEXT("10.0") : WTEXT(""));
  }

  held = ProvideProfile(
      {{"StorageList", {{{"mediaType", ""}, {"description", "disk"}}, json::object()}}});
  pairs.clear();
  ASSERT_EQ(GetStorageListPair(pairs), 0);
  const PairList& labels = ExportCases()[10].expected;
  ASSERT_EQ(pairs.size(), labels.size());
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pairs[i].first, labels[i].first);
    EXPECT_EQ(pairs[i].second, i % 6 == 4 ? WTEXT("0") : i == 5 ? WTEXT("disk") : WTEXT(""));
  }
  EXPECT_EQ(Log(Source::Storage).frees, 1);
  EXPECT_EQ(Log(Source::Storage).wrongFrees, 0);
}

TEST(PairExportsTest, FirstNodeWithoutNextIsAListOfOne) {
  testprovider::Reset();
  const auto held = ProvideProfile(
      {{"StorageList", {{{"name", "only"}, {"mediaType", "CD-ROM"}, {"sizeMB", 7}}}}});
  PairList pairs;
  ASSERT_EQ(GetStorageListPair(pairs), 0);
  ASSERT_EQ(pairs.size(), 6u);
  EXPECT_EQ(pairs[0].second, WTEXT("only"));
  EXPECT_EQ(pairs[4].second, WTEXT("7"));
  ExpectBalanced(Source::Storage, true);
}

}  // namespace
