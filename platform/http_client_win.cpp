#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include <windows.h>
#include <winhttp.h>

#include "platform/http_exchange.h"

namespace platform {
namespace {

struct InternetCloser {
  void operator()(void* handle) const noexcept { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
  return out;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length,
                      nullptr, nullptr);
  return out;
}

// One header of the answer, empty when it has none.
std::string HeaderOf(HINTERNET request, DWORD query) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                      &bytes, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
  std::wstring value(bytes / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  value.resize(bytes / sizeof(wchar_t));
  return Narrow(value);
}

HttpAnswer Failed(DWORD error) {
  HttpAnswer answer;
  switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_CONNECTION_ERROR:
      answer.failure = HttpFailure::HttpRefused;
      answer.reason = "could not connect to the server";
      break;
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT:  // what Wine gives for a server that accepts and never answers
      answer.failure = HttpFailure::HttpTimeout;
      answer.reason = "the server did not answer in time";
      break;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED:
      answer.failure = HttpFailure::HttpTls;
      answer.reason =
          std::string("the secure connection failed (WinHTTP error ") + std::to_string(error) + ")";
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
      throw std::bad_alloc();
    default:
      answer.failure = HttpFailure::HttpOther;
      answer.reason = std::string("WinHTTP error ") + std::to_string(error);
  }
  return answer;
}

// The time left until `deadline` in whole milliseconds, at least one.
DWORD MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<DWORD>(std::max<long long>(left.count(), 1));
}

HttpAnswer TimedOut() { return Failed(ERROR_WINHTTP_TIMEOUT); }

HttpAnswer TooLarge(std::size_t limit) {
  HttpAnswer answer;
  answer.failure = HttpFailure::HttpTooLarge;
  answer.reason = "the answer passed " + std::to_string(limit) + " bytes";
  return answer;
}

// The exchange itself, every wait bounded by the time left when it starts.
HttpAnswer PostBlocking(const HttpPost& post, const std::string& address, bool authorize,
                        std::chrono::steady_clock::time_point deadline) {
  if (!post.caFile.empty()) {
    // WinHTTP checks a server against the system's store only; taking other authorities would
    // mean switching its check off and redoing it, which this client never does.
    HttpAnswer answer;
    answer.failure = HttpFailure::HttpTls;
    answer.reason = "a CA file is not read on Windows; add the authority to the system's store";
    return answer;
  }
  if (std::chrono::steady_clock::now() >= deadline) return TimedOut();
  const std::wstring url = Wide(address);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
    return Failed(GetLastError());
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  InternetHandle session(WinHttpOpen(Wide(post.userAgent).c_str(),
                                     WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                     WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return Failed(GetLastError());
  const int ms = static_cast<int>(MillisecondsLeft(deadline));
  WinHttpSetTimeouts(session.get(), ms, ms, ms, ms);
  InternetHandle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) return Failed(GetLastError());
  const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  InternetHandle request(WinHttpOpenRequest(connection.get(), L"POST", path.c_str(), nullptr,
                                            WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                            secure));
  if (!request) return Failed(GetLastError());
  // The wait for the answer's headers has a limit of its own (90 s), which the session's
  // timeouts do not set.
  DWORD responseTimeout = static_cast<DWORD>(ms);
  WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                   sizeof responseTimeout);
  DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
  WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);
  std::wstring headers;
  for (const auto& [name, value] : post.headers) headers += Wide(name + ": " + value + "\r\n");
  if (authorize && !post.authorization.empty()) {
    headers += Wide("Authorization: " + post.authorization + "\r\n");
  }
  if (!WinHttpSendRequest(request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                          const_cast<char*>(post.body.data()), static_cast<DWORD>(post.body.size()),
                          static_cast<DWORD>(post.body.size()), 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    return Failed(GetLastError());
  }
  HttpAnswer answer;
  DWORD status = 0;
  DWORD size = sizeof status;
  WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  answer.status = static_cast<long>(status);
  answer.contentType = HeaderOf(request.get(), WINHTTP_QUERY_CONTENT_TYPE);
  answer.contentEncoding = HeaderOf(request.get(), WINHTTP_QUERY_CONTENT_ENCODING);
  answer.location = HeaderOf(request.get(), WINHTTP_QUERY_LOCATION);
  answer.retryAfter = HeaderOf(request.get(), WINHTTP_QUERY_RETRY_AFTER);
  DWORD length = 0;
  size = sizeof length;
  if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &length, &size, WINHTTP_NO_HEADER_INDEX) &&
      length > post.answerLimit) {
    return TooLarge(post.answerLimit);
  }
  // Each wait is also given the time left, so that it ends on its own when it can.
  for (;;) {
    if (std::chrono::steady_clock::now() >= deadline) return TimedOut();
    DWORD wait = MillisecondsLeft(deadline);
    WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available)) return Failed(GetLastError());
    if (available == 0) break;
    const std::size_t had = answer.body.size();
    // One byte past the limit is enough to know the answer passes it.
    const std::size_t room = post.answerLimit + 1 - had;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(available, room));
    answer.body.resize(had + want);
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), answer.body.data() + had, want, &read)) {
      return Failed(GetLastError());
    }
    answer.body.resize(had + read);
    if (answer.body.size() > post.answerLimit) return TooLarge(post.answerLimit);
  }
  return answer;
}

}  // namespace

namespace detail {

HttpAnswer PostOnce(const HttpPost& post, const std::string& url, bool authorize,
                    std::chrono::steady_clock::time_point deadline) {
  // WinHTTP's timeouts bound each wait, not the whole exchange: a server that sends a byte a
  // second, headers included, reaches none of them, and closing the handle does not end a
  // synchronous call everywhere (Wine's). So the exchange runs on a thread of its own, with its
  // own copy of the post, and is left to end by itself when the deadline passes first: the
  // caller is never held past it.
  std::packaged_task<HttpAnswer()> exchange(
      [post, url, authorize, deadline] { return PostBlocking(post, url, authorize, deadline); });
  std::future<HttpAnswer> answer = exchange.get_future();
  std::thread(std::move(exchange)).detach();
  if (answer.wait_until(deadline) == std::future_status::timeout) return TimedOut();
  return answer.get();
}

}  // namespace detail
}  // namespace platform
