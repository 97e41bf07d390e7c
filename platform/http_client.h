#pragma once
// Posting a document to a web server: libcurl off Windows, WinHTTP on Windows.

#include <string>
#include <utility>
#include <vector>

namespace platform {

struct HttpPost {
  std::string url;  // http:// or https://
  std::string userAgent;
  std::vector<std::pair<std::string, std::string>> headers;  // name, value
  std::string body;
  int timeoutSeconds = 30;  // for the whole exchange, connection included
};

enum class HttpFailure {
  HttpNone,     // an answer came, whatever its status
  HttpRefused,  // nobody listens there, or the host cannot be reached
  HttpTimeout,  // no whole answer within the time
  HttpTls,      // the TLS handshake or the server's certificate failed
  HttpOther,    // anything else (a bad URL, a name that does not resolve, ...)
};

struct HttpAnswer {
  HttpFailure failure = HttpFailure::HttpNone;
  std::string reason;  // why, on one line, when there was no answer
  long status = 0;     // the HTTP status of the answer
  std::string body;
};

// Sends `post` as an HTTP POST and waits at most its timeout for the whole answer. Certificates
// are checked against the system's trusted authorities; redirects are not followed. The
// system's proxy settings apply.
HttpAnswer PostHttp(const HttpPost& post);

}  // namespace platform
