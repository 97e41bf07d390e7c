#include "fleet/delivery.h"

#include <chrono>

#include "fleet/agent_id.h"
#include "fleet/credentials.h"
#include "fleet/server_answer.h"
#include "platform/http_client.h"
#include "platform/zlib_stream.h"

namespace velmora::fleet {
namespace {

std::string Authorization(const Delivery& delivery) {
  if (!delivery.basicUser.empty()) {
    return BasicAuthorization({delivery.basicUser, delivery.basicPassword});
  }
  return delivery.bearerToken.empty() ? std::string() : "Bearer " + delivery.bearerToken;
}

std::string Unreached(const Delivery& delivery, const platform::HttpAnswer& answer) {
  const std::string& url = delivery.url;
  switch (answer.failure) {
    case platform::HttpFailure::HttpRefused:
      return url + ": connection refused: " + answer.reason;
    case platform::HttpFailure::HttpTimeout:
      return url + ": no answer within " + std::to_string(delivery.timeoutSeconds) +
             " s: " + answer.reason;
    case platform::HttpFailure::HttpTls:
      return url + ": TLS failure: " + answer.reason;
    case platform::HttpFailure::HttpTooLarge:
      return url + ": the answer passed 1 MB before inflating; not read on";
    default:
      return url + ": " + answer.reason;
  }
}

}  // namespace

Receipt Deliver(const Delivery& delivery) {
  platform::HttpPost post;
  post.url = delivery.url;
  post.userAgent = "Velmora/" VELMORA_VERSION;
  post.timeoutSeconds = delivery.timeoutSeconds;
  post.headers = {{"Content-Type", "application/x-compress-zlib"},
                  {"GLPI-Agent-ID", AgentId()},
                  {"Pragma", "no-cache"}};
  post.authorization = Authorization(delivery);
  post.caFile = delivery.caFile;
  post.answerLimit = kAnswerLimit;
  post.body = platform::ZlibCompress(delivery.document);
  const platform::HttpAnswer answer = platform::PostHttp(post);
  if (answer.failure == platform::HttpFailure::HttpNone) {
    return ReadAnswer(answer, std::chrono::system_clock::now());
  }
  Receipt receipt;
  receipt.why = OneLine(Unreached(delivery, answer));
  return receipt;
}

}  // namespace velmora::fleet
