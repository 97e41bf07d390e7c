#include "fleet/backoff.h"

#include <algorithm>

namespace velmora::fleet {

std::int64_t BackoffSeconds(int failures, std::optional<long> retryAfter,
                            std::optional<long> expirationHours, const UniformUpTo& random) {
  const std::int64_t longest =
      std::max<std::int64_t>(0, expirationHours.value_or(kDefaultExpirationHours)) * 3600;
  if (retryAfter) return std::clamp<std::int64_t>(*retryAfter, 0, longest);
  if (failures < 2) return 0;
  std::int64_t cap = kFirstBackoffCap;
  for (int doubling = 2; doubling < failures && cap < longest; ++doubling) cap *= 2;
  return random(std::min(cap, longest));
}

}  // namespace velmora::fleet
