#include "fleet/delivery.h"

#include <chrono>

#include "fleet/agent_id.h"
#include "fleet/credentials.h"
#include "fleet/ocs_exchange.h"
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

}  // namespace

std::string UnreachedWhy(const Delivery& delivery, const platform::HttpAnswer& answer) {
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

std::optional<DeliveryFormat> DeliveryFormatNamed(std::string_view name) {
  if (name == "glpi") return DeliveryFormat::DeliveryGlpi;
  if (name == "ocs") return DeliveryFormat::DeliveryOcs;
  return std::nullopt;
}

DeliveryFormat DeliveryFormatOf(std::string_view url) {
  constexpr std::string_view kOcsPlace = "/ocsinventory";
  url = url.substr(0, url.find_first_of("?#"));
  while (url.ends_with('/')) url.remove_suffix(1);
  return url.ends_with(kOcsPlace) ? DeliveryFormat::DeliveryOcs : DeliveryFormat::DeliveryGlpi;
}

platform::HttpAnswer PostCompressed(const Delivery& delivery, std::string_view body,
                                    std::vector<std::pair<std::string, std::string>> headers) {
  platform::HttpPost post;
  post.url = delivery.url;
  post.userAgent = "Velmora/" VELMORA_VERSION;
  post.timeoutSeconds = delivery.timeoutSeconds;
  post.headers = std::move(headers);
  post.authorization = Authorization(delivery);
  post.caFile = delivery.caFile;
  post.answerLimit = kAnswerLimit;
  post.body = platform::ZlibCompress(body);
  return platform::PostHttp(post);
}

Receipt Deliver(const Delivery& delivery) {
  if (delivery.format == DeliveryFormat::DeliveryOcs) return DeliverOcs(delivery);
  const platform::HttpAnswer answer =
      PostCompressed(delivery, delivery.document,
                     {{"Content-Type", "application/x-compress-zlib"},
                      {"GLPI-Agent-ID", AgentId()},
                      {"Pragma", "no-cache"}});
  if (answer.failure == platform::HttpFailure::HttpNone) {
    return ReadAnswer(answer, std::chrono::system_clock::now());
  }
  Receipt receipt;
  receipt.why = OneLine(UnreachedWhy(delivery, answer));
  return receipt;
}

}  // namespace velmora::fleet
