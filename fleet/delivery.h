#pragma once
// Handing one inventory document to an asset server: the post, and what its answer means.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/http_client.h"

namespace velmora::fleet {

// The format a server takes, and with it the exchange.
enum class DeliveryFormat {
  DeliveryGlpi,  // GLPI's inventory JSON, one post
  DeliveryOcs,   // OCS Inventory's XML: a PROLOG, then the INVENTORY when the server says SEND
};

// The format named "glpi" or "ocs"; nullopt for another name.
std::optional<DeliveryFormat> DeliveryFormatNamed(std::string_view name);

// The format a server at `url` takes when nothing says: OCS Inventory's for a URL whose path
// ends in "/ocsinventory" (its communication server's place), GLPI's for any other.
DeliveryFormat DeliveryFormatOf(std::string_view url);

// One document for one server.
struct Delivery {
  std::string url;       // the server's inventory URL, http:// or https://
  std::string document;  // the inventory, JSON text, or XML text for DeliveryOcs
  DeliveryFormat format = DeliveryFormat::DeliveryGlpi;
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
  std::string reply;  // what the server said it did with an accepted inventory, when it says
};

// Hands `delivery.document` over in the exchange of its format: posted zlib-compressed, with the
// agent's headers, the answer inflated as the server compressed it. Neither an answer nor its
// inflated body may pass 1 MB.
Receipt Deliver(const Delivery& delivery);

// One post of `body`, zlib-compressed, to `delivery.url` with `headers` beside the agent's own
// (User-Agent, Authorization), under the delivery's timeout and authorities.
platform::HttpAnswer PostCompressed(const Delivery& delivery, std::string_view body,
                                    std::vector<std::pair<std::string, std::string>> headers);

// Why a post that got no answer (`answer.failure` is not HttpNone) failed, on one line naming
// the URL.
std::string UnreachedWhy(const Delivery& delivery, const platform::HttpAnswer& answer);

}  // namespace velmora::fleet
