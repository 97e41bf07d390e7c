#pragma once
// Posting a document to a web server: libcurl off Windows, WinHTTP on Windows.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace platform {

struct HttpPost {
  std::string url;  // http:// or https://
  std::string userAgent;
  std::vector<std::pair<std::string, std::string>> headers;  // name, value
  // The Authorization header's value, empty for none. It goes only where `url` points (same
  // scheme, host and port), never to another server a redirect names.
  std::string authorization;
  std::string body;
  // PEM authorities to trust instead of the system's; empty: the system's. Windows refuses one
  // (HttpTls): WinHTTP checks against the system's store only.
  std::string caFile;
  int timeoutSeconds = 30;  // for the whole exchange, redirects and connections included
  std::size_t answerLimit = 1024 * 1024;  // the most bytes of an answer's body read
  int redirectLimit = 3;                  // the most redirects followed
};

enum class HttpFailure {
  HttpNone,        // an answer came, whatever its status
  HttpRefused,     // nobody listens there, or the host cannot be reached
  HttpTimeout,     // no whole answer within the time
  HttpTls,         // the TLS handshake or the server's certificate failed
  HttpTooLarge,    // the answer's body passed the limit; reading stopped there
  HttpRedirected,  // a redirect that was not followed: one too many, or to a place refused
  HttpOther,       // anything else (a bad URL, a name that does not resolve, ...)
};

struct HttpAnswer {
  HttpFailure failure = HttpFailure::HttpNone;
  std::string reason;  // why, on one line, when there was no answer
  long status = 0;     // the HTTP status of the answer
  std::string url;     // where the answer came from, after redirects
  // The headers that say how to read the answer, empty when absent.
  std::string contentType, contentEncoding, location, retryAfter;
  std::string body;  // as it came, still compressed if it was
};

// Sends `post` as an HTTP POST and waits at most its timeout for the whole answer. Redirects
// (301, 302, 303, 307, 308) are followed up to the limit, posting the same body again; an
// answer's body longer than the limit is not read on. Certificates are always checked, against
// the system's trusted authorities or the CA file. The system's proxy settings apply.
HttpAnswer PostHttp(const HttpPost& post);

}  // namespace platform
