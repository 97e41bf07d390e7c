#include "fleet/agent_run.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <optional>
#include <system_error>

#include "fleet/document_digest.h"
#include "fleet/server_state.h"
#include "platform/kept_files.h"

namespace velmora::fleet {
namespace {

// Far beyond any inventory (a few hundred KB at most); a larger kept file is not one of ours.
constexpr std::size_t kLargestKeptInventory = 64 * 1024 * 1024;

std::string Utc(std::int64_t seconds) {
  const auto time = static_cast<std::time_t>(seconds);
  char text[32] = "?";
  if (const std::tm* utc = std::gmtime(&time)) {
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", utc);
  }
  return text;
}

// Ten years: a longer expiration is a mistake, and seconds counted from it must not overflow.
constexpr long kLongestExpirationHours = 10 * 366 * 24;

// The server's "expiration" in hours: a whole number, also when given as a string, from 0 to
// kLongestExpirationHours.
std::optional<long> ExpirationHours(const std::optional<nlohmann::json>& given) {
  if (!given) return std::nullopt;
  long long hours = 0;
  if (given->is_number_integer()) {
    // Whole numbers from zero up are read as unsigned; beyond long long they are too long anyway.
    hours = given->is_number_unsigned()
                ? static_cast<long long>(std::min<unsigned long long>(
                      given->get<unsigned long long>(), kLongestExpirationHours))
                : given->get<long long>();
  } else if (given->is_string()) {
    const std::string& text = given->get_ref<const std::string&>();
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), hours);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  } else {
    return std::nullopt;
  }
  return static_cast<long>(std::clamp<long long>(hours, 0, kLongestExpirationHours));
}

// When the server wants the next inventory at the latest.
std::int64_t DueAt(const ServerState& state) {
  return state.acceptedAt +
         std::int64_t{state.expirationHours.value_or(kDefaultExpirationHours)} * 3600;
}

class ServerRun {
 public:
  ServerRun(const AgentRun& run, const std::string& url)
      : run_(run),
        url_(url),
        stateFile_(ServerStateFile(run.stateFolder, url)),
        keptFile_(KeptInventoryFile(run.stateFolder, url)),
        state_(LoadServerState(stateFile_, url)),
        format_(run.format.value_or(DeliveryFormatOf(url))),
        document_(format_ == DeliveryFormat::DeliveryOcs ? run.ocsDocument : run.document) {}

  ServerOutcome Run() {
    const std::string digest = DocumentDigest(document_);
    std::string why;
    const std::optional<std::string> kept =
        platform::ReadKeptFile(keptFile_, kLargestKeptInventory, why);
    // Only the machine's latest state matters: a kept inventory goes out only while it still
    // says what the machine is, and then as it was kept.
    const bool keptIsLatest = kept && DocumentDigest(*kept) == digest;
    const std::string& latest = keptIsLatest ? *kept : document_;
    const bool changed = digest != state_.digest;
    const bool due = state_.acceptedAt == 0 || run_.now >= DueAt(state_);
    if (!run_.force && !kept && !changed && !due) {
      return {"unchanged for " + url_ + ": accepted " + Utc(state_.acceptedAt) + ", due " +
              Utc(DueAt(state_))};
    }
    if (!run_.force && run_.now < state_.quietUntil) {
      const std::string problem = keptIsLatest ? "" : Keep(latest);
      if (!problem.empty()) return {"not kept for " + url_ + ": " + problem, false};
      return {"kept for " + url_ + ": left alone until " + Utc(state_.quietUntil) + " after " +
              std::to_string(state_.failures) + " failures in a row"};
    }
    const std::string reason = run_.force               ? "forced"
                               : keptIsLatest           ? "the kept inventory"
                               : state_.acceptedAt == 0 ? "the first inventory"
                               : changed                ? "the inventory changed"
                                                        : "the expiration passed";
    Delivery delivery = run_.settings;
    delivery.url = url_;
    delivery.document = latest;
    delivery.format = format_;
    const Receipt receipt = run_.deliver(delivery);
    if (receipt.verdict == Verdict::VerdictAccepted) return Accepted(digest, receipt, reason);
    return Failed(receipt, latest, keptIsLatest);
  }

 private:
  ServerOutcome Accepted(const std::string& digest, const Receipt& receipt,
                         const std::string& reason) {
    state_ = ServerState{digest, run_.now, ExpirationHours(receipt.expiration), 0, 0};
    std::string line = "sent to " + url_ + ": " + reason + ", accepted";
    if (!receipt.reply.empty()) line += " (" + receipt.reply + ")";
    if (state_.expirationHours) {
      line += ", expiration " + std::to_string(*state_.expirationHours) + " h";
    }
    // A kept file left behind only costs one delivery more on the next run.
    std::error_code ignored;
    std::filesystem::remove(keptFile_, ignored);
    if (const std::string problem = SaveServerState(stateFile_, url_, state_); !problem.empty()) {
      return {line + ", but its state cannot be written: " + problem, false};
    }
    return {line};
  }

  ServerOutcome Failed(const Receipt& receipt, const std::string& latest, bool alreadyKept) {
    ++state_.failures;
    const std::int64_t wait = BackoffSeconds(state_.failures, receipt.retryAfterSeconds,
                                             state_.expirationHours, run_.random);
    state_.quietUntil = wait > 0 ? run_.now + wait : 0;
    const std::string problem = alreadyKept ? "" : Keep(latest);
    if (!problem.empty()) {
      return {"not kept for " + url_ + ": " + receipt.why + "; " + problem, false};
    }
    std::string line = "kept for " + url_ + ": " + receipt.why + "; failure " +
                       std::to_string(state_.failures) + " in a row, next try " +
                       (wait > 0 ? "after " + Utc(state_.quietUntil) : "on the next run");
    if (const std::string saved = SaveServerState(stateFile_, url_, state_); !saved.empty()) {
      return {line + ", but its state cannot be written: " + saved, false};
    }
    return {line};
  }

  std::string Keep(const std::string& document) {
    return platform::ReplaceFileDurably(keptFile_, document);
  }

  const AgentRun& run_;
  const std::string& url_;
  const std::filesystem::path stateFile_, keptFile_;
  ServerState state_;
  const DeliveryFormat format_;
  const std::string& document_;
};

}  // namespace

std::vector<ServerOutcome> RunAgent(const AgentRun& run) {
  std::vector<ServerOutcome> outcomes;
  for (const std::string& url : run.servers) outcomes.push_back(ServerRun(run, url).Run());
  return outcomes;
}

}  // namespace velmora::fleet
