#include "fleet/server_answer.h"

#include <chrono>
#include <string>

#include <gtest/gtest.h>

namespace velmora::fleet {
namespace {

using namespace std::chrono_literals;
using platform::Compression;

// 2024-02-29 12:00:00 UTC.
const std::chrono::system_clock::time_point kNow =
    std::chrono::sys_days(std::chrono::year(2024) / 2 / 29) + 12h;

platform::HttpAnswer Answer(long status, std::string contentType, std::string body) {
  platform::HttpAnswer answer;
  answer.status = status;
  answer.contentType = std::move(contentType);
  answer.body = std::move(body);
  return answer;
}

TEST(ServerAnswerTest, ContentTypeNamesTheCompression) {
  struct Case {
    const char* contentType;
    Compression compression;
  };
  const Case cases[] = {
      {"application/x-compress-zlib", Compression::CompressionZlib},
      {"application/x-zlib", Compression::CompressionZlib},
      {"Application/X-Compress-Zlib; charset=binary", Compression::CompressionZlib},
      {"application/x-compress-gzip", Compression::CompressionGzip},
      {"  application/x-gzip  ", Compression::CompressionGzip},
      {"application/x-compress-deflate", Compression::CompressionDeflate},
      {"application/x-deflate", Compression::CompressionDeflate},
      {"application/json", Compression::CompressionNone},
      {"text/html; charset=UTF-8", Compression::CompressionNone},
      {"application/x-compress-zlibx", Compression::CompressionNone},
      {"", Compression::CompressionNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.contentType);
    EXPECT_EQ(CompressionOf(c.contentType), c.compression);
  }
}

TEST(ServerAnswerTest, RetryAfterInSecondsOrAsADate) {
  struct Case {
    const char* value;
    std::optional<long> seconds;
  };
  const Case cases[] = {
      {"120", 120},
      {" 0 ", 0},
      {"86400", 86400},
      {"-5", std::nullopt},
      {"12.5", std::nullopt},
      {"soon", std::nullopt},
      {"", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"Thu, 29 Feb 2024 12:02:00 GMT", 120},
      {"Thu, 29 Feb 2024 12:00:00 GMT", 0},
      {"Thu, 29 Feb 2024 11:00:00 GMT", 0},  // already past
      {"Fri, 01 Mar 2024 12:00:01 GMT", 86401},
      {"Sun, 31 Dec 2023 23:59:59 GMT", 0},
      {"Fri, 30 Feb 2024 12:00:00 GMT", std::nullopt},
      {"Thu, 29 Foo 2024 12:00:00 GMT", std::nullopt},
      {"Thu, 29 Feb 2024 24:00:00 GMT", std::nullopt},
      {"Thu, 29 Feb 2024 12:60:00 GMT", std::nullopt},
      {"Thu, 29 Feb 2024 12:02:00 CET", std::nullopt},
      // Each month by its name.
      {"Wed, 01 Jan 2025 12:00:00 GMT", 26524800},
      {"Sat, 01 Feb 2025 12:00:00 GMT", 29203200},
      {"Sat, 01 Mar 2025 12:00:00 GMT", 31622400},
      {"Tue, 01 Apr 2025 12:00:00 GMT", 34300800},
      {"Thu, 01 May 2025 12:00:00 GMT", 36892800},
      {"Sun, 01 Jun 2025 12:00:00 GMT", 39571200},
      {"Tue, 01 Jul 2025 12:00:00 GMT", 42163200},
      {"Fri, 01 Aug 2025 12:00:00 GMT", 44841600},
      {"Mon, 01 Sep 2025 12:00:00 GMT", 47520000},
      {"Wed, 01 Oct 2025 12:00:00 GMT", 50112000},
      {"Sat, 01 Nov 2025 12:00:00 GMT", 52790400},
      {"Mon, 01 Dec 2025 12:00:00 GMT", 55382400},
      {"Thu, 29 Feb 2024 12:02:00 GMT trailing", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(RetryAfterSeconds(c.value, kNow), c.seconds);
  }
}

TEST(ServerAnswerTest, VerdictAndWhy) {
  const std::string ok = R"({"status": "ok", "expiration": 24})";
  struct Case {
    const char* name;
    platform::HttpAnswer answer;
    Verdict verdict;
    const char* why;  // a part of the line
  };
  const Case cases[] = {
      {"ok", Answer(200, "application/json", ok), Verdict::VerdictAccepted, ""},
      {"ok zlib", Answer(200, "application/x-compress-zlib", platform::ZlibCompress(ok)),
       Verdict::VerdictAccepted, ""},
      {"201", Answer(201, "application/json", ok), Verdict::VerdictAccepted, ""},
      {"299", Answer(299, "application/json", ok), Verdict::VerdictAccepted, ""},
      {"199", Answer(199, "application/json", ok), Verdict::VerdictRefused, "answered 199"},
      {"300", Answer(300, "application/json", ok), Verdict::VerdictRefused, "answered 300"},
      {"400 message",
       Answer(400, "application/json", R"({"status": "error", "message": "bad\nfield"})"),
       Verdict::VerdictRefused, "answered 400: bad field"},
      {"200 not ok", Answer(200, "application/json", R"({"status": "pending"})"),
       Verdict::VerdictRefused, "answered 200 with status \"pending\""},
      {"200 no status", Answer(200, "application/json", R"({"expiration": 24})"),
       Verdict::VerdictRefused, "answered 200 without a status"},
      {"status not text", Answer(200, "application/json", R"({"status": 1, "message": 2})"),
       Verdict::VerdictRefused, "answered 200 without a status"},
      {"html", Answer(200, "text/html; charset=UTF-8", "<html><body>Login</body></html>"),
       Verdict::VerdictRefused, "answered 200 with text/html, not a JSON object"},
      {"no type", Answer(200, "", "[1]"), Verdict::VerdictRefused,
       "with no Content-Type, not a JSON object"},
      {"zlib labelled, plain sent", Answer(200, "application/x-compress-zlib", ok),
       Verdict::VerdictUnreached, "not the application/x-compress-zlib its Content-Type says"},
      {"bomb",
       Answer(200, "application/x-compress-zlib",
              platform::ZlibCompress(std::string(kAnswerLimit + 1, ' '))),
       Verdict::VerdictUnreached, "more than 1 MB once inflated"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Receipt receipt = ReadAnswer(c.answer, kNow);
    EXPECT_EQ(receipt.verdict, c.verdict);
    EXPECT_EQ(receipt.status, c.answer.status);
    EXPECT_NE(receipt.why.find(c.why), std::string::npos) << receipt.why;
    EXPECT_EQ(receipt.why.find('\n'), std::string::npos);
    EXPECT_EQ(receipt.verdict == Verdict::VerdictAccepted, receipt.why.empty());
  }
}

TEST(ServerAnswerTest, ExpirationAndRetryAfterComeWithTheAnswer) {
  platform::HttpAnswer busy =
      Answer(503, "application/x-compress-zlib",
             platform::ZlibCompress(R"({"status": "error", "message": "busy", "expiration": 2})"));
  busy.retryAfter = "300";
  const Receipt receipt = ReadAnswer(busy, kNow);
  EXPECT_EQ(receipt.verdict, Verdict::VerdictRefused);
  EXPECT_EQ(receipt.retryAfterSeconds, 300);
  ASSERT_TRUE(receipt.expiration.has_value());
  EXPECT_EQ(*receipt.expiration, 2);
  EXPECT_FALSE(ReadAnswer(Answer(200, "application/json", R"({"status": "ok"})"), kNow)
                   .expiration.has_value());

  platform::HttpAnswer encoded = Answer(200, "application/json", R"({"status": "ok"})");
  encoded.contentEncoding = "br";
  const Receipt unasked = ReadAnswer(encoded, kNow);
  EXPECT_EQ(unasked.verdict, Verdict::VerdictUnreached);
  EXPECT_EQ(unasked.why, "the server answered 200 in the encoding \"br\", which was not asked for");
  encoded.contentEncoding = "identity";
  EXPECT_EQ(ReadAnswer(encoded, kNow).verdict, Verdict::VerdictAccepted);
}

}  // namespace
}  // namespace velmora::fleet
