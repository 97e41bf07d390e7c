// Reading OCS Inventory's replies, and telling which format a server takes, without a server.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fleet/ocs_document.h"
#include "fleet/ocs_exchange.h"
#include "platform/zlib_stream.h"

namespace velmora::fleet {
namespace {

platform::HttpAnswer Answer(const std::string& body, bool compressed = true) {
  platform::HttpAnswer answer;
  answer.status = 200;
  answer.contentType = "application/x-compressed";
  answer.body = compressed ? platform::ZlibCompress(body) : body;
  return answer;
}

TEST(OcsExchangeTest, ReadsTheResponseAndThePrologFrequency) {
  struct Case {
    std::string body;
    bool compressed;
    std::string response;  // empty: unreadable
    std::optional<long> freq;
  };
  const std::vector<Case> cases = {
      {"<?xml version='1.0' encoding='UTF-8'?>\n<REPLY>\n  <INVENTORY_ON_STARTUP>1"
       "</INVENTORY_ON_STARTUP>\n  <PROLOG_FREQ>24</PROLOG_FREQ>\n  <OPTION>\n    <NAME>DOWNLOAD"
       "</NAME>\n    <PARAM ON=\"0\" />\n  </OPTION>\n  <RESPONSE>SEND</RESPONSE>\n</REPLY>\n",
       true, "SEND", 24},
      {"<REPLY><RESPONSE>NO_ACCOUNT_UPDATE</RESPONSE></REPLY>", true, "NO_ACCOUNT_UPDATE", {}},
      {"<REPLY><RESPONSE>STOP</RESPONSE><PROLOG_FREQ>x</PROLOG_FREQ></REPLY>", false, "STOP", {}},
      {"<REPLY><PROLOG_FREQ>-1</PROLOG_FREQ><RESPONSE>A&amp;B</RESPONSE></REPLY>", true, "A&B", {}},
      {"<REPLY><PROLOG_FREQ>12</PROLOG_FREQ></REPLY>", true, "", {}},
      {"<html>Internal Server Error</html>", false, "", {}},
      {"<REPLY><RESPONSE>SEND", true, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    std::string why;
    const std::optional<OcsReply> reply = ReadOcsReply(Answer(c.body, c.compressed), why);
    ASSERT_EQ(reply.has_value(), !c.response.empty()) << why;
    if (!reply) {
      EXPECT_EQ(why, "without a RESPONSE");
      continue;
    }
    EXPECT_EQ(reply->response, c.response);
    EXPECT_EQ(reply->prologFreq, c.freq);
  }
}

TEST(OcsExchangeTest, RefusesAReplyThatInflatesPastTheLimit) {
  std::string why;
  EXPECT_FALSE(ReadOcsReply(Answer(std::string(2 * 1024 * 1024, 'x')), why));
  EXPECT_EQ(why, "with more than 1 MB once inflated");
}

TEST(OcsExchangeTest, TheUrlNamesTheFormatUnlessTold) {
  struct Case {
    std::string url;
    DeliveryFormat format;
  };
  const std::vector<Case> cases = {
      {"http://ocs.example.com/ocsinventory", DeliveryFormat::DeliveryOcs},
      {"https://ocs.example.com:8443/ocsinventory/", DeliveryFormat::DeliveryOcs},
      {"http://ocs.example.com/ocsinventory?x=1", DeliveryFormat::DeliveryOcs},
      {"http://ocs.example.com/ocsinventory/other", DeliveryFormat::DeliveryGlpi},
      {"https://glpi.example.com/front/inventory.php", DeliveryFormat::DeliveryGlpi},
      {"https://glpi.example.com/", DeliveryFormat::DeliveryGlpi},
      {"http://h/ocsinventoryx", DeliveryFormat::DeliveryGlpi},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(DeliveryFormatOf(c.url), c.format);
  }
  EXPECT_EQ(DeliveryFormatNamed("ocs"), DeliveryFormat::DeliveryOcs);
  EXPECT_EQ(DeliveryFormatNamed("glpi"), DeliveryFormat::DeliveryGlpi);
  EXPECT_EQ(DeliveryFormatNamed("OCS"), std::nullopt);
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
