#include <climits>

#include <gtest/gtest.h>

#include "dll/velmora.h"
#include "tests/pairs/sample_records.h"
#include "tests/pairs/test_provider.h"

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

TEST(PairExportsTest, ListsGiveOneGroupPerNodeInListOrder) {
  testprovider::Reset();
  StorageNode c{WTEXT("sdc"), WTEXT("CD-ROM"), WTEXT("m3"), WTEXT("d3"), 3, WTEXT("x3"), nullptr};
  StorageNode b{WTEXT("sdb"), WTEXT("b"), WTEXT("m2"), WTEXT("d2"), 2, WTEXT("x2"), &c};
  StorageNode a{WTEXT("sda"), WTEXT("a"), WTEXT("m1"), WTEXT("d1"), 1, WTEXT("x1"), &b};
  Provide(Source::Storage, &a);
  PairList pairs;
  ASSERT_EQ(GetStorageListPair(pairs), 0);
  ASSERT_EQ(pairs.size(), 18u);
  const WChar* names[] = {WTEXT("sda"), WTEXT("sdb"), WTEXT("sdc")};
  const WChar* sizes[] = {WTEXT("1"), WTEXT("2"), WTEXT("3")};
  for (int node = 0; node < 3; ++node) {
    SCOPED_TRACE(node);
    EXPECT_EQ(pairs[node * 6].first, WTEXT("设备名称："));
    EXPECT_EQ(pairs[node * 6].second, names[node]);
    EXPECT_EQ(pairs[node * 6 + 4].second, sizes[node]);
  }
  EXPECT_EQ(Log(Source::Storage).frees, 1);
  EXPECT_EQ(Log(Source::Storage).wrongFrees, 0);

  // A first node whose next is null is a list of one.
  c.name = WTEXT("only");
  Provide(Source::Storage, &c);
  pairs.clear();
  ASSERT_EQ(GetStorageListPair(pairs), 0);
  ASSERT_EQ(pairs.size(), 6u);
  EXPECT_EQ(pairs[0].second, WTEXT("only"));
  EXPECT_EQ(Log(Source::Storage).wrongFrees, 0);
}

TEST(PairExportsTest, IntegersAreSignedDecimalWithoutUnits) {
  testprovider::Reset();
  struct Case {
    int32_t value;
    const WChar* text;
  };
  const Case cases[] = {{0, WTEXT("0")},
                        {4096, WTEXT("4096")},
                        {-1, WTEXT("-1")},
                        {INT32_MAX, WTEXT("2147483647")},
                        {INT32_MIN, WTEXT("-2147483648")}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    MemoryInfo memory{c.value, c.value};
    Provide(Source::Memory, &memory);
    PairList pairs;
    ASSERT_EQ(GetMemoryPair(pairs), 0);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].second, c.text);
    EXPECT_EQ(pairs[1].second, c.text);
  }
}

}  // namespace
