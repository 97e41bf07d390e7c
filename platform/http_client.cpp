#include "platform/http_client.h"

#include <memory>

#include <curl/curl.h>

namespace platform {
namespace {

struct CurlCleanup {
  void operator()(CURL* curl) const noexcept { curl_easy_cleanup(curl); }
};
struct HeaderListCleanup {
  void operator()(curl_slist* list) const noexcept { curl_slist_free_all(list); }
};

// No exception may cross curl's C frames: a failed append ends the transfer instead.
std::size_t Collect(char* data, std::size_t size, std::size_t count, void* body) noexcept {
  try {
    static_cast<std::string*>(body)->append(data, size * count);
  } catch (...) {
    return 0;
  }
  return size * count;
}

HttpFailure FailureOf(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_CONNECT:
      return HttpFailure::HttpRefused;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpFailure::HttpTimeout;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
      return HttpFailure::HttpTls;
    default:
      return HttpFailure::HttpOther;
  }
}

}  // namespace

HttpAnswer PostHttp(const HttpPost& post) {
  HttpAnswer answer;
  // Once per process; curl_easy_init would do it too, but not safely beside other threads.
  static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
  std::unique_ptr<CURL, CurlCleanup> curl(initialised == CURLE_OK ? curl_easy_init() : nullptr);
  if (!curl) {
    answer.failure = HttpFailure::HttpOther;
    answer.reason = "the HTTP library could not start";
    return answer;
  }
  std::unique_ptr<curl_slist, HeaderListCleanup> headers;
  for (const auto& [name, value] : post.headers) {
    const std::string line = name + ": " + value;
    curl_slist* longer = curl_slist_append(headers.get(), line.c_str());
    if (longer == nullptr) throw std::bad_alloc();
    headers.release();
    headers.reset(longer);
  }
  // Without this header curl would wait a second for a "100 Continue" that few servers send.
  curl_slist* longer = curl_slist_append(headers.get(), "Expect:");
  if (longer == nullptr) throw std::bad_alloc();
  headers.release();
  headers.reset(longer);

  char error[CURL_ERROR_SIZE] = "";
  CURL* handle = curl.get();
  curl_easy_setopt(handle, CURLOPT_URL, post.url.c_str());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_POST, 1L);
  curl_easy_setopt(handle, CURLOPT_POSTFIELDS, post.body.data());
  curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(post.body.size()));
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(handle, CURLOPT_USERAGENT, post.userAgent.c_str());
  curl_easy_setopt(handle, CURLOPT_TIMEOUT, static_cast<long>(post.timeoutSeconds));
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM for the name lookup's timeout
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &answer.body);
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, error);
  const CURLcode code = curl_easy_perform(handle);
  if (code == CURLE_OUT_OF_MEMORY) throw std::bad_alloc();
  if (code != CURLE_OK) {
    answer.failure = FailureOf(code);
    answer.reason = error[0] != '\0' ? error : curl_easy_strerror(code);
    answer.body.clear();
    return answer;
  }
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &answer.status);
  return answer;
}

}  // namespace platform
