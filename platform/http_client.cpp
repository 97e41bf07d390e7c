#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/http_exchange.h"

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

// What curl's callbacks fill while the answer comes in.
struct Incoming {
  HttpAnswer* answer;
  std::size_t limit;
  bool tooLarge = false;
};

// No exception may cross curl's C frames: a failed append ends the transfer instead, and so
// does a body that passes the limit, which is never read on.
std::size_t Collect(char* data, std::size_t size, std::size_t count, void* to) noexcept {
  auto* incoming = static_cast<Incoming*>(to);
  std::string& body = incoming->answer->body;
  const std::size_t bytes = size * count;
  if (bytes > incoming->limit - std::min(body.size(), incoming->limit)) {
    incoming->tooLarge = true;
    return 0;
  }
  try {
    body.append(data, bytes);
  } catch (...) {
    return 0;
  }
  return bytes;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
    text.remove_suffix(1);
  }
  return text;
}

bool NameIs(std::string_view name, std::string_view wanted) {
  return name.size() == wanted.size() &&
         std::equal(name.begin(), name.end(), wanted.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

// Called once per header line of every answer curl reads (a proxy's too): a status line starts
// the headers afresh.
std::size_t KeepHeader(char* data, std::size_t size, std::size_t count, void* to) noexcept {
  HttpAnswer& answer = *static_cast<Incoming*>(to)->answer;
  const std::string_view line(data, size * count);
  try {
    if (line.starts_with("HTTP/")) {
      answer.contentType.clear();
      answer.contentEncoding.clear();
      answer.location.clear();
      answer.retryAfter.clear();
      return size * count;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return size * count;
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = Trimmed(line.substr(colon + 1));
    for (auto [wanted, field] :
         {std::pair{"Content-Type", &answer.contentType},
          std::pair{"Content-Encoding", &answer.contentEncoding},
          std::pair{"Location", &answer.location}, std::pair{"Retry-After", &answer.retryAfter}}) {
      if (NameIs(name, wanted)) field->assign(value);
    }
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
    case CURLE_FILESIZE_EXCEEDED:
      return HttpFailure::HttpTooLarge;
    default:
      return HttpFailure::HttpOther;
  }
}

}  // namespace

namespace detail {

HttpAnswer PostOnce(const HttpPost& post, const std::string& url, bool authorize,
                    std::chrono::steady_clock::time_point deadline) {
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
  std::vector<std::string> lines;
  for (const auto& [name, value] : post.headers) lines.push_back(name + ": " + value);
  if (authorize && !post.authorization.empty()) {
    lines.push_back("Authorization: " + post.authorization);
  }
  // Without this header curl would wait a second for a "100 Continue" that few servers send.
  lines.emplace_back("Expect:");
  for (const std::string& line : lines) {
    curl_slist* longer = lib.slistAppend(headers.get(), line.c_str());
    if (longer == nullptr) throw std::bad_alloc();
    headers.release();
    headers.reset(longer);
  }

  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) {
    answer.failure = HttpFailure::HttpTimeout;
    answer.reason = "no time left for " + url;
    return answer;
  }
  Incoming incoming{&answer, post.answerLimit};
  char error[CURL_ERROR_SIZE] = "";
  CURL* handle = curl.get();
  lib.easySetopt(handle, CURLOPT_URL, url.c_str());
  lib.easySetopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  lib.easySetopt(handle, CURLOPT_POST, 1L);
  lib.easySetopt(handle, CURLOPT_POSTFIELDS, post.body.data());
  lib.easySetopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(post.body.size()));
  lib.easySetopt(handle, CURLOPT_HTTPHEADER, headers.get());
  lib.easySetopt(handle, CURLOPT_USERAGENT, post.userAgent.c_str());
  lib.easySetopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));
  lib.easySetopt(handle, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM for the name lookup's timeout
  lib.easySetopt(handle, CURLOPT_WRITEFUNCTION, Collect);
  lib.easySetopt(handle, CURLOPT_WRITEDATA, &incoming);
  lib.easySetopt(handle, CURLOPT_HEADERFUNCTION, KeepHeader);
  lib.easySetopt(handle, CURLOPT_HEADERDATA, &incoming);
  // A Content-Length past the limit ends the transfer before any of the body is read.
  lib.easySetopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(post.answerLimit));
  // Verification is curl's default and stays on; only the authorities trusted may change.
  if (!post.caFile.empty()) lib.easySetopt(handle, CURLOPT_CAINFO, post.caFile.c_str());
  lib.easySetopt(handle, CURLOPT_ERRORBUFFER, error);
  const CURLcode code = lib.easyPerform(handle);
  if (code == CURLE_OUT_OF_MEMORY) throw std::bad_alloc();
  if (code != CURLE_OK) {
    answer.failure = incoming.tooLarge ? HttpFailure::HttpTooLarge : FailureOf(code);
    if (answer.failure == HttpFailure::HttpTooLarge) {
      answer.reason = "the answer passed " + std::to_string(post.answerLimit) + " bytes";
    } else {
      answer.reason = error[0] != '\0' ? error : lib.easyStrerror(code);
    }
    answer.body.clear();
    return answer;
  }
  lib.easyGetinfo(handle, CURLINFO_RESPONSE_CODE, &answer.status);
  return answer;
}

}  // namespace detail
}  // namespace platform
