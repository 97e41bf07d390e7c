#include "fleet/delivery.h"

#include "fleet/agent_id.h"
#include "platform/http_client.h"
#include "platform/zlib_stream.h"

namespace velmora::fleet {
namespace {

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

std::string Base64(const std::string& bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
    text += kDigits[group >> 18 & 63];
    text += kDigits[group >> 12 & 63];
    text += left > 1 ? kDigits[group >> 6 & 63] : '=';
    text += left > 2 ? kDigits[group & 63] : '=';
  }
  return text;
}

Receipt Answered(const platform::HttpAnswer& answer) {
  Receipt receipt;
  receipt.status = answer.status;
  const nlohmann::json body = nlohmann::json::parse(answer.body, nullptr, false);
  const std::string status = body.is_object() ? body.value("status", "") : "";
  const std::string message = body.is_object() ? body.value("message", "") : "";
  if (body.is_object() && body.contains("expiration")) receipt.expiration = body["expiration"];
  if (answer.status >= 200 && answer.status < 300 && status == "ok") {
    receipt.verdict = Verdict::VerdictAccepted;
    return receipt;
  }
  receipt.verdict = Verdict::VerdictRefused;
  const std::string why = "the server answered " + std::to_string(answer.status);
  if (!message.empty()) {
    receipt.why = OneLine(why + ": " + message);
  } else if (!status.empty()) {
    receipt.why = OneLine(why + " with status \"" + status + "\"");
  } else {
    receipt.why = why + " without a status";
  }
  return receipt;
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
  if (!delivery.basicUser.empty()) {
    post.headers.emplace_back("Authorization",
                              "Basic " + Base64(delivery.basicUser + ":" + delivery.basicPassword));
  } else if (!delivery.bearerToken.empty()) {
    post.headers.emplace_back("Authorization", "Bearer " + delivery.bearerToken);
  }
  post.body = platform::ZlibCompress(delivery.document);
  const platform::HttpAnswer answer = platform::PostHttp(post);
  if (answer.failure == platform::HttpFailure::HttpNone) return Answered(answer);
  Receipt receipt;
  switch (answer.failure) {
    case platform::HttpFailure::HttpRefused:
      receipt.why = delivery.url + ": connection refused: " + answer.reason;
      break;
    case platform::HttpFailure::HttpTimeout:
      receipt.why = delivery.url + ": no answer within " + std::to_string(delivery.timeoutSeconds) +
                    " s: " + answer.reason;
      break;
    case platform::HttpFailure::HttpTls:
      receipt.why = delivery.url + ": TLS failure: " + answer.reason;
      break;
    default:
      receipt.why = delivery.url + ": " + answer.reason;
  }
  receipt.why = OneLine(std::move(receipt.why));
  return receipt;
}

}  // namespace velmora::fleet
