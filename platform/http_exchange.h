#pragma once
// One request and its answer, the piece each system's HTTP client gives PostHttp, which follows
// the redirects.

#include <chrono>
#include <string>

#include "platform/http_client.h"

namespace platform::detail {

// Posts `post` (its body, headers and CA file) to `url`, with its authorization when
// `authorize`, following no redirect; gives up at `deadline`. A 3xx answer carries its
// Location as it came.
HttpAnswer PostOnce(const HttpPost& post, const std::string& url, bool authorize,
                    std::chrono::steady_clock::time_point deadline);

}  // namespace platform::detail
