#include "fleet/agent_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fleet/server_state.h"
#include "tests/support/case_file.h"
#include "tests/support/temp_folder.h"

namespace velmora::fleet {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kHour = 3600;
const std::string kUrl = "http://inventory.example/front/inventory.php";

std::string Document(const std::string& name, const std::string& bootTime) {
  return R"({"deviceid":"d","content":{"hardware":{"name":")" + name +
         R"("},"operatingsystem":{"boot_time":")" + bootTime + "\"}}}\n";
}

// Runs the agent against a stand-in delivery that answers each post as `answer_` says.
class AgentRunTest : public TempFolderTest {
 protected:
  // One server, kUrl; the stand-in records each delivery and answers as `answer_` says.
  AgentRun Prepared(const std::string& document, std::int64_t now, bool force = false) {
    AgentRun run;
    run.servers = {kUrl};
    run.stateFolder = dir_;
    run.document = document;
    run.force = force;
    run.now = now;
    run.settings.timeoutSeconds = 7;
    run.deliver = [this](const Delivery& delivery) {
      deliveries_.push_back(delivery);
      EXPECT_EQ(delivery.timeoutSeconds, 7);
      Receipt receipt = answer_;
      if (receipt.verdict != Verdict::VerdictAccepted) receipt.why = "busy";
      return receipt;
    };
    run.random = [](std::int64_t most) { return most; };
    return run;
  }
  ServerOutcome Run(const std::string& document, std::int64_t now, bool force = false) {
    const std::vector<ServerOutcome> outcomes = RunAgent(Prepared(document, now, force));
    EXPECT_EQ(outcomes.size(), 1u);
    return outcomes.at(0);
  }
  void Answer(Verdict verdict, std::optional<long> retryAfter = {}) {
    answer_ = Receipt{};
    answer_.verdict = verdict;
    answer_.expiration = 24;
    answer_.retryAfterSeconds = retryAfter;
  }
  std::optional<std::string> Kept() const {
    std::ifstream file(KeptInventoryFile(dir_, kUrl), std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }
  ServerState State() const { return LoadServerState(ServerStateFile(dir_, kUrl), kUrl); }
  void Empty() {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }

  // One run in a sequence: the machine's document, when, the server's answer, and what the run
  // journals, posts, keeps and leaves in the server's state.
  struct Step {
    const char* name;
    std::string document;
    std::int64_t now;
    bool force;
    Verdict verdict;
    std::optional<long> retryAfter;
    std::string journal;  // the line's start
    std::optional<std::string> posted, kept;
    int failures;
    std::int64_t quietUntil;
  };
  void Walk(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      SCOPED_TRACE(step.name);
      deliveries_.clear();
      Answer(step.verdict, step.retryAfter);
      const ServerOutcome outcome = Run(step.document, step.now, step.force);
      EXPECT_EQ(outcome.journal.rfind(step.journal, 0), 0u) << outcome.journal;
      EXPECT_TRUE(outcome.settled);
      ASSERT_EQ(deliveries_.size(), step.posted ? 1u : 0u);
      if (step.posted) {
        EXPECT_EQ(deliveries_[0].url, kUrl);
        EXPECT_EQ(deliveries_[0].document, *step.posted);
      }
      EXPECT_EQ(Kept(), step.kept);
      EXPECT_EQ(State().failures, step.failures);
      EXPECT_EQ(State().quietUntil, step.quietUntil);
    }
  }

  Receipt answer_;
  std::vector<Delivery> deliveries_;
};

constexpr std::int64_t kStart = 1765000000;
constexpr Verdict kAccepted = Verdict::VerdictAccepted;

TEST_F(AgentRunTest, SendsOnlyWhatChangedOrIsDue) {
  const std::string first = Document("pc", "2026-12-07 08:00:00");
  const std::string renamed = Document("pc2", "x");
  const std::string sent = "sent to " + kUrl + ": ";
  Walk({
      {"first", first, kStart, false, kAccepted, std::nullopt,
       sent + "the first inventory, accepted, expiration 24 h", first, std::nullopt, 0, 0},
      {"same an hour later", first, kStart + kHour, false, kAccepted, std::nullopt,
       "unchanged for " + kUrl + ": accepted 2025-12-06 05:46:40 UTC, due 2025-12-07 05:46:40 UTC",
       std::nullopt, std::nullopt, 0, 0},
      {"rebooted", Document("pc", "2026-12-07 10:00:00"), kStart + 2 * kHour, false, kAccepted,
       std::nullopt, "unchanged for ", std::nullopt, std::nullopt, 0, 0},
      {"forced", first, kStart + 3 * kHour, true, kAccepted, std::nullopt,
       sent + "forced, accepted", first, std::nullopt, 0, 0},
      {"renamed", renamed, kStart + 4 * kHour, false, kAccepted, std::nullopt,
       sent + "the inventory changed, accepted", renamed, std::nullopt, 0, 0},
      {"a second before due", renamed, kStart + 28 * kHour - 1, false, kAccepted, std::nullopt,
       "unchanged for ", std::nullopt, std::nullopt, 0, 0},
      {"due", Document("pc2", "y"), kStart + 28 * kHour, false, kAccepted, std::nullopt,
       sent + "the expiration passed, accepted", Document("pc2", "y"), std::nullopt, 0, 0},
  });
  EXPECT_EQ(State().acceptedAt, kStart + 28 * kHour);
  EXPECT_EQ(State().expirationHours, 24);
}

TEST_F(AgentRunTest, KeepsWhatFailedAndBacksOff) {
  const std::string boot8 = Document("pc", "2026-12-07 08:00:00");
  const std::string boot9 = Document("pc", "2026-12-07 09:00:00");
  const std::string other = Document("pc2", "x");
  const std::string kept = "kept for " + kUrl + ": ";
  Walk({
      {"first failure: next run", boot8, kStart, false, Verdict::VerdictUnreached, std::nullopt,
       kept + "busy; failure 1 in a row, next try on the next run", boot8, boot8, 1, 0},
      // The kept document is still the machine's state: it goes out as kept, byte for byte.
      {"second failure: an hour at most", boot9, kStart + kHour, false, Verdict::VerdictRefused,
       std::nullopt, kept + "busy; failure 2 in a row, next try after 2025-12-06 07:46:40 UTC",
       boot8, boot8, 2, kStart + 2 * kHour},
      {"left alone", boot9, kStart + 2 * kHour - 1, false, kAccepted, std::nullopt,
       kept + "left alone until 2025-12-06 07:46:40 UTC after 2 failures in a row", std::nullopt,
       boot8, 2, kStart + 2 * kHour},
      {"left alone, but the machine changed", other, kStart + 2 * kHour - 1, false, kAccepted,
       std::nullopt, kept + "left alone until", std::nullopt, other, 2, kStart + 2 * kHour},
      {"third failure: two hours", other, kStart + 2 * kHour, false, Verdict::VerdictUnreached,
       std::nullopt, kept + "busy; failure 3 in a row", other, other, 3, kStart + 4 * kHour},
      {"forced, Retry-After", Document("pc2", "y"), kStart + 3 * kHour, true,
       Verdict::VerdictRefused, 120, kept + "busy; failure 4 in a row", other, other, 4,
       kStart + 3 * kHour + 120},
      {"delivered", Document("pc2", "z"), kStart + 3 * kHour + 120, false, kAccepted, std::nullopt,
       "sent to " + kUrl + ": the kept inventory, accepted", other, std::nullopt, 0, 0},
  });
}

TEST_F(AgentRunTest, TheExpirationIsTakenInWholeHoursWithinTenYears) {
  std::int64_t now = kStart;
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "expirations.txt", 2)) {
    SCOPED_TRACE(row.where);
    const std::optional<long> hours =
        row.Text(1) ? std::optional<long>(row.Value(1)) : std::nullopt;
    Answer(Verdict::VerdictAccepted);
    answer_.expiration =
        row.quoted[0] ? nlohmann::json(row.Bytes(0)) : nlohmann::json::parse(row.Bytes(0));
    ASSERT_EQ(Run(Document("pc", "b"), now, true).journal.rfind("sent to ", 0), 0u);
    EXPECT_EQ(State().expirationHours, hours);
    // Due when the expiration, or a day without one, has passed; not a second before.
    const std::int64_t due = now + hours.value_or(24) * kHour;
    if (due > now) {
      EXPECT_EQ(Run(Document("pc", "b"), due - 1).journal.rfind("unchanged for ", 0), 0u);
    }
    EXPECT_EQ(Run(Document("pc", "b"), due).journal.rfind("sent to ", 0), 0u);
    now = due + 1;
  }
}

TEST_F(AgentRunTest, WhatCannotBeWrittenIsSaidAndUnsettled) {
  const std::int64_t now = kStart;
  struct Case {
    const char* name;
    Verdict verdict;
    fs::path blocked;  // the file that cannot be replaced
    std::optional<ServerState> before;
    std::string journal;  // the line's start
  };
  const std::vector<Case> cases = {
      {"a failure not kept", Verdict::VerdictUnreached, KeptInventoryFile(dir_, kUrl), std::nullopt,
       "not kept for " + kUrl + ": busy; "},
      {"left alone, not kept", kAccepted, KeptInventoryFile(dir_, kUrl),
       ServerState{"", 0, {}, 2, now + kHour}, "not kept for " + kUrl + ": "},
      {"accepted, its state not written", kAccepted, ServerStateFile(dir_, kUrl), std::nullopt,
       "sent to " + kUrl + ": the first inventory, accepted, expiration 24 h, but its state " +
           "cannot be written: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Empty();
    if (c.before) {
      ASSERT_EQ(SaveServerState(ServerStateFile(dir_, kUrl), kUrl, *c.before), "");
    }
    // A folder in the temporary file's place: the file cannot be replaced.
    fs::create_directories(c.blocked.string() + ".new");
    Answer(c.verdict);
    const ServerOutcome outcome = Run(Document("pc", "b"), now);
    EXPECT_FALSE(outcome.settled);
    EXPECT_EQ(outcome.journal.rfind(c.journal, 0), 0u) << outcome.journal;
  }
}

TEST_F(AgentRunTest, EachServerGetsTheDocumentOfItsFormat) {
  const std::string ocsUrl = "http://ocs.example/ocsinventory";
  struct Case {
    std::optional<DeliveryFormat> configured;
    DeliveryFormat first, second;
  };
  const std::vector<Case> cases = {
      {std::nullopt, DeliveryFormat::DeliveryGlpi, DeliveryFormat::DeliveryOcs},
      {DeliveryFormat::DeliveryOcs, DeliveryFormat::DeliveryOcs, DeliveryFormat::DeliveryOcs},
      {DeliveryFormat::DeliveryGlpi, DeliveryFormat::DeliveryGlpi, DeliveryFormat::DeliveryGlpi},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.configured ? static_cast<int>(*c.configured) : -1);
    Empty();
    Answer(kAccepted);
    answer_.reply = "NO_ACCOUNT_UPDATE";
    AgentRun run = Prepared(Document("pc", "b"), 100 * kHour);
    run.servers.push_back(ocsUrl);
    run.ocsDocument = "<?xml version=\"1.0\"?><REQUEST/>\n";
    run.format = c.configured;
    deliveries_.clear();
    const std::vector<ServerOutcome> outcomes = RunAgent(run);
    ASSERT_EQ(deliveries_.size(), 2u);
    EXPECT_EQ(deliveries_[0].format, c.first);
    EXPECT_EQ(deliveries_[1].format, c.second);
    for (const Delivery& post : deliveries_) {
      EXPECT_EQ(post.document,
                post.format == DeliveryFormat::DeliveryOcs ? run.ocsDocument : run.document);
    }
    EXPECT_EQ(outcomes.at(1).journal,
              "sent to " + ocsUrl +
                  ": the first inventory, accepted (NO_ACCOUNT_UPDATE), expiration 24 h");
    // Unchanged on the next run, whichever document each server was given.
    deliveries_.clear();
    run.now += kHour;
    RunAgent(run);
    EXPECT_TRUE(deliveries_.empty());
  }
}

}  // namespace
}  // namespace velmora::fleet
