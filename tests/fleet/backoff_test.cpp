#include "fleet/backoff.h"

#include <gtest/gtest.h>

namespace velmora::fleet {
namespace {

// A random source that draws its maximum, its minimum, or records the cap it was given.
struct Draw {
  std::int64_t* cap;
  bool highest;
  std::int64_t operator()(std::int64_t most) const {
    *cap = most;
    return highest ? most : 0;
  }
};

TEST(BackoffTest, WaitsGrowWithFullJitterWithinTheExpiration) {
  struct Case {
    const char* name;
    int failures;
    std::optional<long> retryAfter, expirationHours;
    std::int64_t cap;  // the cap given to the random source; -1: not drawn
    std::int64_t highest;
  };
  const std::vector<Case> cases = {
      {"first failure: the next run", 1, {}, 24, -1, 0},
      {"second failure: up to an hour", 2, {}, 24, 3600, 3600},
      {"third: two hours", 3, {}, 24, 7200, 7200},
      {"sixth: sixteen hours", 6, {}, 24, 16 * 3600, 16 * 3600},
      {"seventh: thirty-two hours, cut at the expiration", 7, {}, 24, 24 * 3600, 24 * 3600},
      {"many failures do not overflow", 400, {}, 24, 24 * 3600, 24 * 3600},
      {"no expiration: a day at most", 9, {}, {}, 24 * 3600, 24 * 3600},
      {"a short expiration cuts the first cap", 2, {}, 0, 0, 0},
      {"expiration two hours", 5, {}, 2, 7200, 7200},
      {"Retry-After wins from the first failure", 1, 600, 24, -1, 600},
      {"Retry-After wins over the growth", 7, 90, 24, -1, 90},
      {"Retry-After stops at the expiration", 2, 1000000, 1, -1, 3600},
      {"a negative Retry-After waits for nothing", 3, -5, 24, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::int64_t cap = -1;
    EXPECT_EQ(BackoffSeconds(c.failures, c.retryAfter, c.expirationHours, Draw{&cap, true}),
              c.highest);
    EXPECT_EQ(cap, c.cap);
    cap = -1;
    const std::int64_t lowest =
        BackoffSeconds(c.failures, c.retryAfter, c.expirationHours, Draw{&cap, false});
    // Full jitter reaches down to nothing; a Retry-After is no draw.
    EXPECT_EQ(lowest, c.retryAfter ? c.highest : 0);
  }
}

}  // namespace
}  // namespace velmora::fleet
