// PostHttp on every system: each system's client makes one exchange, this follows redirects.
#include <array>
#include <chrono>

#include "platform/http_client.h"
#include "platform/http_exchange.h"
#include "platform/url_reference.h"

namespace platform {
namespace {

// The statuses that send a client elsewhere. Only 307 and 308 promise that the server wants the
// same POST again; 301, 302 and 303 are followed the same way, as an inventory has nowhere else
// to go, and a server that wanted a GET would not take it anyway.
constexpr std::array kRedirects{301L, 302L, 303L, 307L, 308L};

bool IsRedirect(long status) {
  for (const long redirect : kRedirects) {
    if (status == redirect) return true;
  }
  return false;
}

bool IsWeb(const std::string& url) {
  const std::string origin = OriginOf(url);
  return origin.starts_with("http://") || origin.starts_with("https://");
}

HttpAnswer NotFollowed(HttpAnswer answer, std::string reason) {
  answer.failure = HttpFailure::HttpRedirected;
  answer.reason = std::move(reason);
  answer.body.clear();
  return answer;
}

}  // namespace

HttpAnswer PostHttp(const HttpPost& post) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(post.timeoutSeconds);
  const std::string origin = OriginOf(post.url);
  std::string url = post.url;
  for (int redirects = 0;; ++redirects) {
    HttpAnswer answer = detail::PostOnce(post, url, OriginOf(url) == origin, deadline);
    answer.url = url;
    if (answer.failure != HttpFailure::HttpNone || !IsRedirect(answer.status)) return answer;
    std::string why;
    const std::string next =
        answer.location.empty() ? std::string() : ResolveReference(url, answer.location);
    if (next.empty()) {
      why = "a redirect (" + std::to_string(answer.status) + ") without a location";
    } else if (redirects == post.redirectLimit) {
      why =
          "redirected more than " + std::to_string(post.redirectLimit) + " times, last to " + next;
    } else if (!IsWeb(next)) {
      why = "redirected to " + next;
    } else if (OriginOf(url).starts_with("https:") && !OriginOf(next).starts_with("https:")) {
      // A document sent over TLS is never sent again in the clear.
      why = "redirected from https to " + next;
    }
    answer.location = next;
    if (!why.empty()) return NotFollowed(std::move(answer), std::move(why));
    url = next;
  }
}

}  // namespace platform
