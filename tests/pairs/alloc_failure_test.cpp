// Makes the k-th allocation of an export call fail, for every k until the call succeeds,
// and checks that the record is released exactly once on each of those paths.

#include <new>

#include <gtest/gtest.h>

#include "tests/pairs/sample_records.h"
#include "tests/support/failing_allocator.h"
#include "tests/support/test_provider.h"

namespace {

using testprovider::ExportCase;
using testprovider::Log;

bool IsPrefix(const PairList& prefix, const PairList& whole) {
  return prefix.size() <= whole.size() && std::equal(prefix.begin(), prefix.end(), whole.begin());
}

TEST(AllocationFailureTest, EveryFailedAllocationStillReleasesTheRecordOnce) {
  for (const ExportCase& c : testprovider::ExportCases()) {
    SCOPED_TRACE(c.name);
    const bool singleRecord = c.source <= testprovider::Source::Userinfo;
    const PairList before = {{WTEXT("earlier："), WTEXT("pair")}};
    PairList whole = before;
    whole.insert(whole.end(), c.expected.begin(), c.expected.end());

    long failures = 0;
    for (long k = 1;; ++k) {
      SCOPED_TRACE(testing::Message() << "allocation " << k << " fails");
      testprovider::Reset();
      const auto held = testprovider::ProvideProfile(c.profile);
      PairList pairs = before;
      bool threw = false;
      int result = 0;
      failing_allocator::FailAt(k);
      try {
        result = c.run(pairs);
      } catch (const std::bad_alloc&) {
        threw = true;
      }
      failing_allocator::Stop();

      EXPECT_EQ(Log(c.source).gets, 1);
      EXPECT_EQ(Log(c.source).frees, 1);
      EXPECT_EQ(Log(c.source).wrongFrees, 0);
      EXPECT_EQ(Log(c.source).held, 0);
      if (!threw) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(pairs, whole);
        break;
      }
      ++failures;
      if (singleRecord) {
        EXPECT_EQ(pairs, before);
      } else {
        // Whole groups that were appended before the failure stay; nothing else does.
        EXPECT_TRUE(IsPrefix(pairs, whole));
        EXPECT_EQ((pairs.size() - before.size()) % (c.expected.size() / 2), 0u);
      }
      ASSERT_LT(k, 1000) << "the call never succeeds";
    }
    // Building a pair allocates, so at least one path must have failed.
    EXPECT_GT(failures, 0);
  }
}

}  // namespace
