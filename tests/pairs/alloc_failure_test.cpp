// Makes the k-th allocation of an export call fail, for every k until the call succeeds,
// and checks that the record is released exactly once on each of those paths.

#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "tests/pairs/sample_records.h"
#include "tests/pairs/test_provider.h"

namespace {

// Counting is on only inside a call under test, so GoogleTest's own allocations pass.
bool counting = false;
long allocations = 0;
long failAt = 0;

}  // namespace

// Default visibility, so that code in shared libraries allocates through these too. The
// pair is malloc/free underneath, which GCC cannot see through.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
__attribute__((visibility("default"))) void* operator new(std::size_t size) {
  if (counting && ++allocations == failAt) throw std::bad_alloc();
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

__attribute__((visibility("default"))) void operator delete(void* memory) noexcept {
  std::free(memory);
}
__attribute__((visibility("default"))) void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
#pragma GCC diagnostic pop

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
      testprovider::Provide(c.source, c.record);
      PairList pairs = before;
      bool threw = false;
      int result = 0;
      allocations = 0;
      failAt = k;
      counting = true;
      try {
        result = c.run(pairs);
      } catch (const std::bad_alloc&) {
        threw = true;
      }
      counting = false;

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
