#pragma once
// Handing one inventory document to an asset server: the post, and what its answer means.

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace velmora::fleet {

// One document for one server.
struct Delivery {
  std::string url;          // the server's inventory URL, http:// or https://
  std::string document;     // the inventory, JSON text
  int timeoutSeconds = 30;  // for the whole delivery, redirects included
  std::string bearerToken;  // empty: none
  // HTTP Basic authentication, GLPI's agent authentication, when the user is not empty; it
  // wins over the bearer token when both are given (a request carries one Authorization).
  std::string basicUser, basicPassword;
  std::string caFile;  // PEM authorities to trust instead of the system's; empty: the system's
};

enum class Verdict {
  VerdictAccepted,   // a 2xx answer with status "ok"
  VerdictRefused,    // the server answered, but not "ok"
  VerdictUnreached,  // no usable answer: refused connection, timeout, TLS, a bad URL, an
                     // answer too large or corrupt, a redirect not followed
};

struct Receipt {
  Verdict verdict = Verdict::VerdictUnreached;
  long status = 0;                           // the answer's HTTP status; 0 without an answer
  std::optional<nlohmann::json> expiration;  // the server's "expiration", as it gave it
  std::optional<long> retryAfterSeconds;     // how long the server asked to wait (Retry-After)
  std::string why;                           // one line without line breaks, when not accepted
};

// Posts `delivery.document`, zlib-compressed, with the agent's headers, and reads the answer,
// inflated as the server compressed it. Neither the answer nor its inflated body may pass 1 MB.
Receipt Deliver(const Delivery& delivery);

}  // namespace velmora::fleet
