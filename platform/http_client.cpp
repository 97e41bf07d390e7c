#include "platform/http_client.h"

#include <dlfcn.h>

#include <memory>

#include <curl/curl.h>

namespace platform {
namespace {

// libcurl and the two dozen libraries it needs are opened at the first post, not when velmora
// starts: every other command, the whole inventory above all, would pay for loading them.
struct Curl {
  void* library = nullptr;
  bool ready = false;  // every function found and the global set-up done
  decltype(&curl_global_init) globalInit = nullptr;
  decltype(&curl_easy_init) easyInit = nullptr;
  decltype(&curl_easy_cleanup) easyCleanup = nullptr;
  decltype(&curl_easy_setopt) easySetopt = nullptr;
  decltype(&curl_easy_perform) easyPerform = nullptr;
  decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
  decltype(&curl_easy_strerror) easyStrerror = nullptr;
  decltype(&curl_slist_append) slistAppend = nullptr;
  decltype(&curl_slist_free_all) slistFreeAll = nullptr;

  Curl() : library(::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL)) {
    const bool all =
        library != nullptr && Load(globalInit, "curl_global_init") &&
        Load(easyInit, "curl_easy_init") && Load(easyCleanup, "curl_easy_cleanup") &&
        Load(easySetopt, "curl_easy_setopt") && Load(easyPerform, "curl_easy_perform") &&
        Load(easyGetinfo, "curl_easy_getinfo") && Load(easyStrerror, "curl_easy_strerror") &&
        Load(slistAppend, "curl_slist_append") && Load(slistFreeAll, "curl_slist_free_all");
    // Once per process; curl_easy_init would do it too, but not safely beside other threads.
    ready = all && globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  }
  Curl(const Curl&) = delete;
  Curl& operator=(const Curl&) = delete;
  // Never closed: curl's global state lives until the process ends.

  template <typename Function>
  bool Load(Function& function, const char* name) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
  }
};

const Curl& TheCurl() {
  static const Curl curl;
  return curl;
}

struct CurlCleanup {
  void operator()(CURL* curl) const noexcept { TheCurl().easyCleanup(curl); }
};
struct HeaderListCleanup {
  void operator()(curl_slist* list) const noexcept { TheCurl().slistFreeAll(list); }
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
  const Curl& lib = TheCurl();
  if (!lib.ready) {
    answer.failure = HttpFailure::HttpOther;
    answer.reason = "libcurl.so.4 could not be loaded; install libcurl4";
    return answer;
  }
  std::unique_ptr<CURL, CurlCleanup> curl(lib.easyInit());
  if (!curl) {
    answer.failure = HttpFailure::HttpOther;
    answer.reason = "the HTTP library could not start";
    return answer;
  }
  std::unique_ptr<curl_slist, HeaderListCleanup> headers;
  for (const auto& [name, value] : post.headers) {
    const std::string line = name + ": " + value;
    curl_slist* longer = lib.slistAppend(headers.get(), line.c_str());
    if (longer == nullptr) throw std::bad_alloc();
    headers.release();
    headers.reset(longer);
  }
  // Without this header curl would wait a second for a "100 Continue" that few servers send.
  curl_slist* longer = lib.slistAppend(headers.get(), "Expect:");
  if (longer == nullptr) throw std::bad_alloc();
  headers.release();
  headers.reset(longer);

  char error[CURL_ERROR_SIZE] = "";
  CURL* handle = curl.get();
  lib.easySetopt(handle, CURLOPT_URL, post.url.c_str());
  lib.easySetopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  lib.easySetopt(handle, CURLOPT_POST, 1L);
  lib.easySetopt(handle, CURLOPT_POSTFIELDS, post.body.data());
  lib.easySetopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(post.body.size()));
  lib.easySetopt(handle, CURLOPT_HTTPHEADER, headers.get());
  lib.easySetopt(handle, CURLOPT_USERAGENT, post.userAgent.c_str());
  lib.easySetopt(handle, CURLOPT_TIMEOUT, static_cast<long>(post.timeoutSeconds));
  lib.easySetopt(handle, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM for the name lookup's timeout
  lib.easySetopt(handle, CURLOPT_WRITEFUNCTION, Collect);
  lib.easySetopt(handle, CURLOPT_WRITEDATA, &answer.body);
  lib.easySetopt(handle, CURLOPT_ERRORBUFFER, error);
  const CURLcode code = lib.easyPerform(handle);
  if (code == CURLE_OUT_OF_MEMORY) throw std::bad_alloc();
  if (code != CURLE_OK) {
    answer.failure = FailureOf(code);
    answer.reason = error[0] != '\0' ? error : lib.easyStrerror(code);
    answer.body.clear();
    return answer;
  }
  lib.easyGetinfo(handle, CURLINFO_RESPONSE_CODE, &answer.status);
  return answer;
}

}  // namespace platform
