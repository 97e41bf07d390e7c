// Reading a server's answer, GLPI's or OCS Inventory's, and telling which format a server takes,
// without a server.
#include "fleet/server_answer.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "fleet/ocs_document.h"
#include "fleet/ocs_exchange.h"
#include "tests/support/case_file.h"

namespace velmora::fleet {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;
using platform::ZlibCompress;

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

// Every row of data/delivery_texts.txt: a header of an answer, a server's URL, a format's name or
// an OCS Inventory reply, and what it says.
TEST(ServerAnswerTest, EachTextRowByRow) {
  using platform::Compression;
  const std::map<std::string, int64_t> names = {
      {"None", static_cast<int64_t>(Compression::CompressionNone)},
      {"Zlib", static_cast<int64_t>(Compression::CompressionZlib)},
      {"Gzip", static_cast<int64_t>(Compression::CompressionGzip)},
      {"Deflate", static_cast<int64_t>(Compression::CompressionDeflate)},
      {"Glpi", static_cast<int64_t>(DeliveryFormat::DeliveryGlpi)},
      {"Ocs", static_cast<int64_t>(DeliveryFormat::DeliveryOcs)}};
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "delivery_texts.txt", 3, 4)) {
    SCOPED_TRACE(row.where);
    const std::string kind = row.Bytes(0), text = row.Bytes(1);
    if (kind == "ocs-zlib" || kind == "ocs-plain") {
      std::string why;
      const std::optional<OcsReply> reply = ReadOcsReply(
          Answer(200, "application/x-compressed", kind == "ocs-zlib" ? ZlibCompress(text) : text),
          why);
      ASSERT_EQ(reply.has_value(), row.Text(2) != nullptr) << why;
      if (!reply) {
        EXPECT_EQ(why, "without a RESPONSE");
        continue;
      }
      EXPECT_EQ(reply->response, row.Bytes(2));
      EXPECT_EQ(reply->prologFreq, row.Text(3) ? std::optional<long>(row.Value(3)) : std::nullopt);
      continue;
    }
    ASSERT_EQ(row.fields.size(), 3u);
    const std::optional<int64_t> value =
        row.Text(2) ? std::optional<int64_t>(row.Value(2, names)) : std::nullopt;
    if (kind == "content-type") {
      EXPECT_EQ(CompressionOf(text), static_cast<Compression>(value.value()));
    } else if (kind == "retry-after") {
      EXPECT_EQ(RetryAfterSeconds(text, kNow), value);
    } else if (kind == "url") {
      EXPECT_EQ(DeliveryFormatOf(text), static_cast<DeliveryFormat>(value.value()));
    } else {
      ASSERT_EQ(kind, "format");
      EXPECT_EQ(DeliveryFormatNamed(text),
                value ? std::optional(static_cast<DeliveryFormat>(*value)) : std::nullopt);
    }
  }
}

// What ReadAnswer makes of `answer`: `verdict`, and one line holding `why`, empty when accepted.
void ExpectReceipt(const platform::HttpAnswer& answer, Verdict verdict, const std::string& why) {
  const Receipt receipt = ReadAnswer(answer, kNow);
  EXPECT_EQ(receipt.verdict, verdict);
  EXPECT_EQ(receipt.status, answer.status);
  EXPECT_NE(receipt.why.find(why), std::string::npos) << receipt.why;
  EXPECT_EQ(receipt.why.find('\n'), std::string::npos);
  EXPECT_EQ(receipt.verdict == Verdict::VerdictAccepted, receipt.why.empty());
}

// Every case of data/glpi_answers.json: an answer, its body a text as it stands or JSON.
TEST(ServerAnswerTest, VerdictAndWhy) {
  const CaseKeys keys = {{"case", "status", "type", "body", "verdict", "why"}, {"zlib"}};
  const std::map<std::string, Verdict> verdicts = {{"accepted", Verdict::VerdictAccepted},
                                                   {"refused", Verdict::VerdictRefused},
                                                   {"unreached", Verdict::VerdictUnreached}};
  for (const Json& c : ReadJsonCases<Json>(VELMORA_TEST_DATA "glpi_answers.json", keys)) {
    SCOPED_TRACE(c["case"].get<std::string>());
    const std::string body =
        c["body"].is_string() ? c["body"].get<std::string>() : c["body"].dump();
    ExpectReceipt(
        Answer(c["status"], c["type"], c.value("zlib", false) ? ZlibCompress(body) : body),
        verdicts.at(c["verdict"]), c["why"]);
  }
  ExpectReceipt(
      Answer(200, "application/x-compress-zlib", ZlibCompress(std::string(kAnswerLimit + 1, ' '))),
      Verdict::VerdictUnreached, "more than 1 MB once inflated");
  std::string why;
  EXPECT_FALSE(ReadOcsReply(
      Answer(200, "application/x-compressed", ZlibCompress(std::string(2 * 1024 * 1024, 'x'))),
      why));
  EXPECT_EQ(why, "with more than 1 MB once inflated");
}

TEST(ServerAnswerTest, ExpirationAndRetryAfterComeWithTheAnswer) {
  platform::HttpAnswer busy =
      Answer(503, "application/x-compress-zlib",
             ZlibCompress(R"({"status": "error", "message": "busy", "expiration": 2})"));
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

TEST(OcsExchangeTest, PrologNamesTheDeviceAndNothingElse) {
  const std::string prolog = OcsProlog("pc&1-2020-01-02-03-04-05");
  EXPECT_EQ(prolog,
            "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<REQUEST>\n"
            "  <DEVICEID>pc&amp;1-2020-01-02-03-04-05</DEVICEID>\n  <QUERY>PROLOG</QUERY>\n"
            "</REQUEST>\n");
  EXPECT_EQ(XmlElementText(prolog, "DEVICEID"), "pc&1-2020-01-02-03-04-05");
  EXPECT_EQ(XmlElementText(prolog, "CONTENT"), "");
}

TEST(OcsExchangeTest, ADocumentWithoutDeviceIsNotSent) {
  Delivery delivery;
  delivery.url = "http://127.0.0.1:9/ocsinventory";  // nothing is posted: no connection tried
  delivery.document = "<?xml version=\"1.0\"?><REQUEST><QUERY>INVENTORY</QUERY></REQUEST>";
  delivery.format = DeliveryFormat::DeliveryOcs;
  const Receipt receipt = Deliver(delivery);
  EXPECT_EQ(receipt.verdict, Verdict::VerdictRefused);
  EXPECT_EQ(receipt.why, delivery.url + ": the inventory names no DEVICEID; not sent");
}

}  // namespace
}  // namespace velmora::fleet
