#include "fleet/server_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fleet/backoff.h"
#include "fleet/document_digest.h"
#include "tests/support/scratch_dir.h"

namespace velmora::fleet {
namespace {

namespace fs = std::filesystem;

TEST(DocumentDigestTest, OnlyTheVolatileFieldsAndTheLayoutAreLeftOut) {
  const std::string base =
      R"({"deviceid":"d","content":{"hardware":{"name":"pc","datelastloggeduser":"Mon Dec 7"},)"
      R"("operatingsystem":{"name":"Debian","boot_time":"2026-12-07 08:00:00"},)"
      R"("accesslog":{"logdate":"2026-12-08 00:00:00"}}})";
  const std::string digest = DocumentDigest(base);
  EXPECT_EQ(digest.size(), 8u + 16u);
  EXPECT_EQ(digest.rfind("fnv1a64:", 0), 0u);
  struct Case {
    const char* name;
    std::string document;
    bool same;
  };
  const auto replaced = [&base](const std::string& from, const std::string& to) {
    std::string text = base;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::vector<Case> cases = {
      {"another boot time", replaced("08:00:00", "09:30:00"), true},
      {"another access date", replaced("2026-12-08 00:00:00", "2026-12-09 00:00:00"), true},
      {"another last login", replaced("Mon Dec 7", "Tue Dec 8"), true},
      {"indented", replaced(R"({"deviceid")", "{\n  \"deviceid\" "), true},
      {"another name", replaced(R"("pc")", R"("pc2")"), false},
      {"another system", replaced("Debian", "Ubuntu"), false},
      {"another device id", replaced(R"("d")", R"("e")"), false},
      {"a boot time elsewhere counts", replaced(R"("name":"pc")", R"("boot_time":"x")"), false},
      {"text that is not JSON", base.substr(1), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DocumentDigest(c.document) == digest, c.same);
  }
  // Without a "content" object nothing is left out, and no field is made up either.
  EXPECT_NE(DocumentDigest(R"({"deviceid":"d"})"),
            DocumentDigest(R"({"deviceid":"d","content":null})"));
  EXPECT_EQ(DocumentDigest("not json"), DocumentDigest("not json"));
  EXPECT_NE(DocumentDigest("not json"), DocumentDigest("not json "));
  EXPECT_EQ(Fnv1a64(""), 14695981039346656037ULL);
  EXPECT_EQ(Fnv1a64("a"), 0xaf63dc4c8601ec8cULL);
}

TEST(ServerStateTest, RoundTripAndFileNames) {
  const velmora_test::ScratchDir scratch;
  const fs::path& folder = scratch.Path();
  const std::string url = "https://glpi.example:8443/front/inventory.php?x=1";
  const fs::path file = ServerStateFile(folder, url);
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(url)));
  const std::string stem = "glpi.example_8443_front_inventory.php_x_1-" + std::string(hash);
  EXPECT_EQ(file, folder / (stem + ".state.json"));
  EXPECT_EQ(KeptInventoryFile(folder, url), folder / (stem + ".kept.json"));
  EXPECT_NE(file, ServerStateFile(folder, "https://glpi.example:8443/front/inventory.php?x=2"));
  EXPECT_EQ(ServerStateFile(folder, std::string(300, 'a')).filename().string().size(),
            48u + 17u + 11u);

  EXPECT_EQ(LoadServerState(file, url), ServerState{});
  const std::vector<ServerState> states = {
      {"fnv1a64:0123456789abcdef", 1765000000, 24, 0, 0},
      {"fnv1a64:00", 1765000000, {}, 3, 1765007200},
      {"", 0, 0, 1, 0},
  };
  for (const ServerState& state : states) {
    SCOPED_TRACE(state.failures);
    ASSERT_EQ(SaveServerState(file, url, state), "");
    EXPECT_EQ(LoadServerState(file, url), state);
    EXPECT_FALSE(fs::exists(file.string() + ".new"));
    // Another server's state is not taken for this one's.
    EXPECT_EQ(LoadServerState(file, url + "/"), ServerState{});
  }
  for (const char* text : {"{", R"({"server":"x"})", "[]"}) {
    SCOPED_TRACE(text);
    std::ofstream(file) << text;
    EXPECT_EQ(LoadServerState(file, url), ServerState{});
  }
  std::ofstream(file) << R"({"server":")" << url << R"(","failures":"many","digest":"d"})";
  EXPECT_EQ(LoadServerState(file, url), ServerState{});
  EXPECT_NE(SaveServerState(folder / "missing" / "x.json", url, states[0]), "");
}

// A random source that draws its maximum, its minimum, or records the cap it was given.
struct Draw {
  std::int64_t* cap;
  bool highest;
  std::int64_t operator()(std::int64_t most) const {
    *cap = most;
    return highest ? most : 0;
  }
};

TEST(BackoffTest, WaitsGrowWithFullJitterWithinTheExpiration) {
  struct Case {
    const char* name;
    int failures;
    std::optional<long> retryAfter, expirationHours;
    std::int64_t cap;  // the cap given to the random source; -1: not drawn
    std::int64_t highest;
  };
  const std::vector<Case> cases = {
      {"first failure: the next run", 1, {}, 24, -1, 0},
      {"second failure: up to an hour", 2, {}, 24, 3600, 3600},
      {"third: two hours", 3, {}, 24, 7200, 7200},
      {"sixth: sixteen hours", 6, {}, 24, 16 * 3600, 16 * 3600},
      {"seventh: thirty-two hours, cut at the expiration", 7, {}, 24, 24 * 3600, 24 * 3600},
      {"many failures do not overflow", 400, {}, 24, 24 * 3600, 24 * 3600},
      {"no expiration: a day at most", 9, {}, {}, 24 * 3600, 24 * 3600},
      {"a short expiration cuts the first cap", 2, {}, 0, 0, 0},
      {"expiration two hours", 5, {}, 2, 7200, 7200},
      {"Retry-After wins from the first failure", 1, 600, 24, -1, 600},
      {"Retry-After wins over the growth", 7, 90, 24, -1, 90},
      {"Retry-After stops at the expiration", 2, 1000000, 1, -1, 3600},
      {"a negative Retry-After waits for nothing", 3, -5, 24, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::int64_t cap = -1;
    EXPECT_EQ(BackoffSeconds(c.failures, c.retryAfter, c.expirationHours, Draw{&cap, true}),
              c.highest);
    EXPECT_EQ(cap, c.cap);
    cap = -1;
    const std::int64_t lowest =
        BackoffSeconds(c.failures, c.retryAfter, c.expirationHours, Draw{&cap, false});
    // Full jitter reaches down to nothing; a Retry-After is no draw.
    EXPECT_EQ(lowest, c.retryAfter ? c.highest : 0);
  }
}

}  // namespace
}  // namespace velmora::fleet
