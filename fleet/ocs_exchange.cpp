#include "fleet/ocs_exchange.h"

#include <charconv>
#include <chrono>
#include <utility>
#include <variant>
#include <vector>

#include "fleet/ocs_document.h"
#include "fleet/server_answer.h"
#include "platform/zlib_stream.h"

namespace velmora::fleet {
namespace {

// The entities our documents and the server's replies write.
struct Entity {
  std::string_view escaped, text;
};
constexpr Entity kEntities[] = {
    {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"},
};

std::string Unescaped(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    bool replaced = false;
    for (const Entity& entity : kEntities) {
      if (text.starts_with(entity.escaped)) {
        out += entity.text;
        text.remove_prefix(entity.escaped.size());
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      out += text.front();
      text.remove_prefix(1);
    }
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> Headers() {
  return {{"Content-Type", "application/x-compress"}, {"Pragma", "no-cache"}};
}

Receipt Refused(const platform::HttpAnswer& answer, std::string why) {
  Receipt receipt;
  receipt.verdict = Verdict::VerdictRefused;
  receipt.status = answer.status;
  receipt.retryAfterSeconds =
      RetryAfterSeconds(answer.retryAfter, std::chrono::system_clock::now());
  receipt.why = OneLine(std::move(why));
  return receipt;
}

Receipt Unreached(const Delivery& delivery, const platform::HttpAnswer& answer,
                  std::string_view stage) {
  Receipt receipt;
  receipt.why = OneLine(UnreachedWhy(delivery, answer) + " (" + std::string(stage) + ")");
  return receipt;
}

// One request and its reply; a receipt instead when it went wrong.
std::variant<OcsReply, Receipt> Exchange(const Delivery& delivery, std::string_view body,
                                         std::string_view stage) {
  const platform::HttpAnswer answer = PostCompressed(delivery, body, Headers());
  if (answer.failure != platform::HttpFailure::HttpNone) return Unreached(delivery, answer, stage);
  const std::string said = delivery.url + ": the server answered " + std::to_string(answer.status) +
                           " to the " + std::string(stage);
  if (answer.status < 200 || answer.status > 299) {
    // The server answers 400 to a device id or a user agent it does not take.
    return Refused(answer, said + (answer.status == 400
                                       ? " (is the device id NAME-YYYY-MM-DD-hh-mm-ss, and is "
                                         "this agent's User-Agent listed among its agents?)"
                                       : ""));
  }
  std::string why;
  std::optional<OcsReply> reply = ReadOcsReply(answer, why);
  if (!reply) return Refused(answer, said + " " + why);
  return std::move(*reply);
}

}  // namespace

std::string XmlElementText(std::string_view xml, std::string_view name) {
  // Appended rather than summed from a literal, which GCC 12 misreads at -O3.
  std::string open("<");
  open.append(name).append(">");
  std::string close("</");
  close.append(name).append(">");
  const std::size_t start = xml.find(open);
  if (start == std::string_view::npos) return {};
  const std::size_t end = xml.find(close, start + open.size());
  if (end == std::string_view::npos) return {};
  return Unescaped(xml.substr(start + open.size(), end - start - open.size()));
}

std::optional<OcsReply> ReadOcsReply(const platform::HttpAnswer& answer, std::string& why) {
  platform::Inflated inflated =
      platform::Inflate(answer.body, platform::Compression::CompressionZlib, kAnswerLimit);
  if (inflated.status == platform::InflateStatus::InflateTooLarge) {
    why = "with more than 1 MB once inflated";
    return std::nullopt;
  }
  const std::string body = inflated.status == platform::InflateStatus::InflateOk
                               ? std::move(inflated.bytes)
                               : answer.body;
  OcsReply reply;
  reply.response = XmlElementText(body, "RESPONSE");
  if (reply.response.empty()) {
    why = "without a RESPONSE";
    return std::nullopt;
  }
  const std::string freq = XmlElementText(body, "PROLOG_FREQ");
  long hours = 0;
  const auto [end, error] = std::from_chars(freq.data(), freq.data() + freq.size(), hours);
  if (!freq.empty() && error == std::errc() && end == freq.data() + freq.size() && hours >= 0) {
    reply.prologFreq = hours;
  }
  return reply;
}

Receipt DeliverOcs(const Delivery& delivery) {
  const std::string deviceId = XmlElementText(delivery.document, "DEVICEID");
  if (deviceId.empty()) {
    Receipt receipt;
    receipt.verdict = Verdict::VerdictRefused;
    receipt.why = delivery.url + ": the inventory names no DEVICEID; not sent";
    return receipt;
  }
  auto prolog = Exchange(delivery, OcsProlog(deviceId), "PROLOG");
  if (Receipt* failed = std::get_if<Receipt>(&prolog)) return std::move(*failed);
  const OcsReply& asked = std::get<OcsReply>(prolog);
  if (asked.response != "SEND") {
    Receipt receipt;
    receipt.verdict = Verdict::VerdictRefused;
    receipt.why = OneLine(delivery.url + ": the server answered " + asked.response +
                          " to the PROLOG: it wants no inventory now");
    if (asked.prologFreq) receipt.retryAfterSeconds = *asked.prologFreq * 3600;
    return receipt;
  }
  auto inventory = Exchange(delivery, delivery.document, "inventory");
  if (Receipt* failed = std::get_if<Receipt>(&inventory)) return std::move(*failed);
  const OcsReply& took = std::get<OcsReply>(inventory);
  Receipt receipt;
  receipt.status = 200;
  if (took.response != "ACCOUNT_UPDATE" && took.response != "NO_ACCOUNT_UPDATE") {
    receipt.verdict = Verdict::VerdictRefused;
    receipt.why =
        OneLine(delivery.url + ": the server answered " + took.response + " to the inventory");
    return receipt;
  }
  receipt.verdict = Verdict::VerdictAccepted;
  receipt.reply = took.response;
  if (asked.prologFreq) receipt.expiration = *asked.prologFreq;
  return receipt;
}

}  // namespace velmora::fleet
