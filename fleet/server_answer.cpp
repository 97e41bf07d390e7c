#include "fleet/server_answer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

namespace velmora::fleet {
namespace {

using platform::Compression;

struct CompressedType {
  std::string_view mediaType;
  Compression compression;
};

// A server answers in the compression of the request, under the request's Content-Type.
constexpr std::array kCompressedTypes{
    CompressedType{"application/x-compress-zlib", Compression::CompressionZlib},
    CompressedType{"application/x-zlib", Compression::CompressionZlib},
    CompressedType{"application/x-compress-gzip", Compression::CompressionGzip},
    CompressedType{"application/x-gzip", Compression::CompressionGzip},
    CompressedType{"application/x-compress-deflate", Compression::CompressionDeflate},
    CompressedType{"application/x-deflate", Compression::CompressionDeflate},
};

constexpr std::array<std::string_view, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// "type/subtype" of a Content-Type, without parameters or spaces, in lower case.
std::string MediaType(std::string_view contentType) {
  contentType = contentType.substr(0, contentType.find(';'));
  const std::size_t first = contentType.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return Lower(contentType.substr(first, contentType.find_last_not_of(" \t") - first + 1));
}

std::string TextOf(const nlohmann::json& object, const char* key) {
  const auto found = object.find(key);
  return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

std::optional<std::chrono::system_clock::time_point> HttpDate(std::string_view value) {
  const std::string text(value);
  char month[4] = "";
  int day = 0, year = 0, hour = 0, minute = 0, second = 0, end = 0;
  // sscanf's %d and %s do not depend on the locale.
  if (std::sscanf(text.c_str(), "%*3[A-Za-z], %2d %3[A-Za-z] %4d %2d:%2d:%2d GMT%n", &day, month,
                  &year, &hour, &minute, &second, &end) != 6 ||
      static_cast<std::size_t>(end) != text.size()) {
    return std::nullopt;
  }
  const auto found = std::find(kMonths.begin(), kMonths.end(), std::string_view(month));
  if (found == kMonths.end() || hour > 23 || minute > 59 || second > 60) return std::nullopt;
  const std::chrono::year_month_day date{
      std::chrono::year(year),
      std::chrono::month(static_cast<unsigned>(found - kMonths.begin()) + 1),
      std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) return std::nullopt;
  return std::chrono::sys_days(date) + std::chrono::hours(hour) + std::chrono::minutes(minute) +
         std::chrono::seconds(second);
}

}  // namespace

std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return text;
}

Compression CompressionOf(std::string_view contentType) {
  const std::string media = MediaType(contentType);
  for (const CompressedType& type : kCompressedTypes) {
    if (media == type.mediaType) return type.compression;
  }
  return Compression::CompressionNone;
}

std::optional<long> RetryAfterSeconds(std::string_view value,
                                      std::chrono::system_clock::time_point now) {
  const std::size_t first = value.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  value = value.substr(first, value.find_last_not_of(" \t") - first + 1);
  long seconds = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
  if (error == std::errc() && end == value.data() + value.size()) {
    return seconds >= 0 ? std::optional<long>(seconds) : std::nullopt;
  }
  const std::optional<std::chrono::system_clock::time_point> date = HttpDate(value);
  if (!date) return std::nullopt;
  const auto wait = std::chrono::ceil<std::chrono::seconds>(*date - now).count();
  return static_cast<long>(std::max<decltype(wait)>(wait, 0));
}

Receipt ReadAnswer(const platform::HttpAnswer& answer, std::chrono::system_clock::time_point now) {
  Receipt receipt;
  receipt.status = answer.status;
  const std::string said = "the server answered " + std::to_string(answer.status);
  const std::string encoding = MediaType(answer.contentEncoding);
  if (!encoding.empty() && encoding != "identity") {
    receipt.why = OneLine(said + " in the encoding \"" + encoding + "\", which was not asked for");
    return receipt;
  }
  const Compression compression = CompressionOf(answer.contentType);
  const platform::Inflated inflated = platform::Inflate(answer.body, compression, kAnswerLimit);
  if (inflated.status == platform::InflateStatus::InflateTooLarge) {
    receipt.why = said + " with more than 1 MB once inflated";
    return receipt;
  }
  if (inflated.status == platform::InflateStatus::InflateCorrupt) {
    receipt.why = OneLine(said + " with a body that is not the " + MediaType(answer.contentType) +
                          " its Content-Type says");
    return receipt;
  }
  receipt.verdict = Verdict::VerdictRefused;
  if (!answer.retryAfter.empty())
    receipt.retryAfterSeconds = RetryAfterSeconds(answer.retryAfter, now);
  const nlohmann::json body = nlohmann::json::parse(inflated.bytes, nullptr, false);
  if (!body.is_object()) {
    const std::string type = MediaType(answer.contentType);
    receipt.why = OneLine(said + " with " + (type.empty() ? "no Content-Type" : type) +
                          ", not a JSON object");
    return receipt;
  }
  const std::string status = TextOf(body, "status");
  const std::string message = TextOf(body, "message");
  if (body.contains("expiration")) receipt.expiration = body["expiration"];
  if (answer.status >= 200 && answer.status <= 299 && status == "ok") {
    receipt.verdict = Verdict::VerdictAccepted;
    return receipt;
  }
  if (!message.empty()) {
    receipt.why = OneLine(said + ": " + message);
  } else if (!status.empty()) {
    receipt.why = OneLine(said + " with status \"" + status + "\"");
  } else {
    receipt.why = said + " without a status";
  }
  return receipt;
}

}  // namespace velmora::fleet
