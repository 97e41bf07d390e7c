#include <gtest/gtest.h>

#include "dll/velmora.h"
#include "tests/pairs/sample_records.h"
#include "tests/support/test_provider.h"

namespace {

using testprovider::ExportCase;
using testprovider::ExportCases;
using testprovider::Log;
using testprovider::Provide;
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

TEST(PairExportsTest, EachExportGivesItsLabelsAndFieldsInTableOrder) {
  for (const ExportCase& c : ExportCases()) {
    SCOPED_TRACE(c.name);
    testprovider::Reset();
    Provide(c.source, c.record);
    PairList pairs;
    EXPECT_EQ(c.run(pairs), 0);
    EXPECT_EQ(pairs, c.expected);
    ExpectBalanced(c.source, true);
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

TEST(PairExportsTest, AppendsAfterWhatTheListHoldsAndNeverClears) {
  for (const ExportCase& c : ExportCases()) {
    SCOPED_TRACE(c.name);
    testprovider::Reset();
    Provide(c.source, c.record);
    PairList pairs = {{WTEXT("a"), WTEXT("b")}};
    ASSERT_EQ(c.run(pairs), 0);
    ASSERT_EQ(c.run(pairs), 0);
    PairList expected = {{WTEXT("a"), WTEXT("b")}};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(pairs, expected);
    EXPECT_EQ(Log(c.source).gets, 2);
    EXPECT_EQ(Log(c.source).frees, 2);
    EXPECT_EQ(Log(c.source).wrongFrees, 0);
  }
}

TEST(PairExportsTest, NullTextFieldsGiveEmptyValuesInTheirPlace) {
  testprovider::Reset();
  OSInfo os{};
  os.osVersion = WTEXT("10.0");
  Provide(Source::OS, &os);
  PairList pairs;
  ASSERT_EQ(GetOSPair(pairs), 0);
  ASSERT_EQ(pairs.size(), 8u);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pairs[i].first, ExportCases()[0].expected[i].first);
    EXPECT_EQ(pairs[i].second, i == 2 ? WTEXT("10.0") : WTEXT(""));
  }

  StorageNode second{};
  StorageNode first{nullptr, WTEXT(""), nullptr, nullptr, 0, WTEXT("disk"), &second};
  Provide(Source::Storage, &first);
  pairs.clear();
  ASSERT_EQ(GetStorageListPair(pairs), 0);
  const PairList expected = {
      {WTEXT("设备名称："), WTEXT("")},       {WTEXT("存储类型："), WTEXT("")},
      {WTEXT("存储设备制造商："), WTEXT("")}, {WTEXT("磁盘驱动器的型号："), WTEXT("")},
      {WTEXT("总大小（MB）："), WTEXT("0")},  {WTEXT("设备描述："), WTEXT("disk")},
      {WTEXT("设备名称："), WTEXT("")},       {WTEXT("存储类型："), WTEXT("")},
      {WTEXT("存储设备制造商："), WTEXT("")}, {WTEXT("磁盘驱动器的型号："), WTEXT("")},
      {WTEXT("总大小（MB）："), WTEXT("0")},  {WTEXT("设备描述："), WTEXT("")},
  };
  EXPECT_EQ(pairs, expected);
  EXPECT_EQ(Log(Source::Storage).frees, 1);
  EXPECT_EQ(Log(Source::Storage).wrongFrees, 0);
}

TEST(PairExportsTest, FirstNodeWithoutNextIsAListOfOne) {
  testprovider::Reset();
  StorageNode only{WTEXT("only"), WTEXT("CD-ROM"), nullptr, nullptr, 7, nullptr, nullptr};
  Provide(Source::Storage, &only);
  PairList pairs;
  ASSERT_EQ(GetStorageListPair(pairs), 0);
  ASSERT_EQ(pairs.size(), 6u);
  EXPECT_EQ(pairs[0].second, WTEXT("only"));
  EXPECT_EQ(pairs[4].second, WTEXT("7"));
  ExpectBalanced(Source::Storage, true);
}

}  // namespace
