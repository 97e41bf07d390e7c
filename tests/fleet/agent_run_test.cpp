#include "fleet/agent_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "fleet/server_state.h"
#include "tests/support/case_file.h"
#include "tests/support/temp_folder.h"

namespace velmora::fleet {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kStart = 1765000000;
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

  // Each step of the walk in the file `name` of data/, from an empty state folder: the machine's
  // document ["name", "boot time"], when (seconds after kStart), the server's answer, and what the
  // run journals (the line's start), posts, keeps and leaves in the server's state.
  void Walk(const std::string& name) {
    const CaseKeys keys = {
        {"step", "machine", "at", "answer", "journal"},
        {"note", "force", "retry-after", "posted", "kept", "failures", "quiet-until"}};
    const std::map<std::string, Verdict> verdicts = {{"accepted", Verdict::VerdictAccepted},
                                                     {"refused", Verdict::VerdictRefused},
                                                     {"unreached", Verdict::VerdictUnreached}};
    const auto document = [](const Json& step, const char* key) -> std::optional<std::string> {
      if (!step.contains(key)) return std::nullopt;
      return Document(step[key].at(0), step[key].at(1));
    };
    for (const Json& step : ReadJsonCases<Json>(VELMORA_TEST_DATA + name, keys)) {
      SCOPED_TRACE(step["step"].get<std::string>());
      deliveries_.clear();
      Answer(verdicts.at(step["answer"]), step.contains("retry-after")
                                              ? std::optional<long>(step["retry-after"])
                                              : std::nullopt);
      const ServerOutcome outcome =
          Run(*document(step, "machine"), kStart + step["at"].get<std::int64_t>(),
              step.value("force", false));
      EXPECT_EQ(outcome.journal.rfind(step["journal"].get<std::string>(), 0), 0u)
          << outcome.journal;
      EXPECT_TRUE(outcome.settled);
      const std::optional<std::string> posted = document(step, "posted");
      ASSERT_EQ(deliveries_.size(), posted ? 1u : 0u);
      if (posted) {
        EXPECT_EQ(deliveries_[0].url, kUrl);
        EXPECT_EQ(deliveries_[0].document, *posted);
      }
      EXPECT_EQ(Kept(), document(step, "kept"));
      EXPECT_EQ(State().failures, step.value("failures", 0));
      EXPECT_EQ(State().quietUntil, step.contains("quiet-until")
                                        ? kStart + step["quiet-until"].get<std::int64_t>()
                                        : 0);
    }
  }

  Receipt answer_;
  std::vector<Delivery> deliveries_;
};

constexpr Verdict kAccepted = Verdict::VerdictAccepted;

TEST_F(AgentRunTest, SendsOnlyWhatChangedOrIsDue) {
  Walk("agent_walk_sends.json");
  EXPECT_EQ(State().acceptedAt, kStart + 28 * kHour);
  EXPECT_EQ(State().expirationHours, 24);
}

TEST_F(AgentRunTest, KeepsWhatFailedAndBacksOff) { Walk("agent_walk_keeps.json"); }

TEST_F(AgentRunTest, TheExpirationIsTakenInWholeHoursWithinTenYears) {
  std::int64_t now = kStart;
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "expirations.txt", 2)) {
    SCOPED_TRACE(row.where);
    const std::optional<long> hours =
        row.Text(1) ? std::optional<long>(row.Value(1)) : std::nullopt;
    Answer(Verdict::VerdictAccepted);
    answer_.expiration = row.quoted[0] ? Json(row.Bytes(0)) : Json::parse(row.Bytes(0));
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
