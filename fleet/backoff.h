#pragma once
// How long the agent leaves a failing server alone.

#include <cstdint>
#include <functional>
#include <optional>

namespace velmora::fleet {

// A random whole number from 0 to `most`, both included.
using UniformUpTo = std::function<std::int64_t(std::int64_t most)>;

// The longest wait after the second failure in a row; each further failure doubles it. Runs
// come hourly, so a shorter first cap would change nothing.
constexpr std::int64_t kFirstBackoffCap = 3600;
// The longest wait of all when the server gave no expiration: a day, the inventory interval
// asset servers use by default.
constexpr std::int64_t kDefaultExpirationHours = 24;

// Seconds for which runs leave a server alone after its `failures`-th failed delivery in a row.
// The server's Retry-After (`retryAfter`) sets it. Otherwise the first failure waits for nothing
// (the next run tries again), and from the second on the wait is drawn by `random` between 0
// and a cap (full jitter) that starts at kFirstBackoffCap and doubles with each failure. Never
// longer than the server's expiration (`expirationHours`, else kDefaultExpirationHours), so
// that a server that comes back hears from the machine before its record of it goes stale.
std::int64_t BackoffSeconds(int failures, std::optional<long> retryAfter,
                            std::optional<long> expirationHours, const UniformUpTo& random);

}  // namespace velmora::fleet
