#pragma once
// Handing one inventory document to an asset server: the post, and what its answer means.

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace velmora::fleet {

// One document for one server.
struct Delivery {
  std::string url;       // the server's inventory URL, http:// or https://
  std::string document;  // the inventory, JSON text
  int timeoutSeconds = 30;
  std::string bearerToken;  // empty: no Authorization header
  // HTTP Basic authentication; empty user: none. Takes the place of the bearer token.
  std::string basicUser, basicPassword;
  std::string caFile;  // trusted authorities for https; empty: the system's store
};

enum class Verdict {
  VerdictAccepted,   // a 2xx answer with status "ok"
  VerdictRefused,    // the server answered, but not "ok"
  VerdictUnreached,  // no answer: refused connection, timeout, TLS, a bad URL
};

struct Receipt {
  Verdict verdict = Verdict::VerdictUnreached;
  long status = 0;                           // the answer's HTTP status; 0 without an answer
  std::optional<nlohmann::json> expiration;  // the server's "expiration", as it gave it
  std::string why;                           // one line without line breaks, when not accepted
  std::optional<long> retryAfterSeconds;     // the answer's Retry-After, when it gave one
};

// Posts `delivery.document`, zlib-compressed, with the agent's headers, and reads the answer.
Receipt Deliver(const Delivery& delivery);

}  // namespace velmora::fleet
