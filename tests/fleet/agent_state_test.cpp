#include "fleet/server_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fleet/backoff.h"
#include "fleet/document_digest.h"
#include "tests/support/case_file.h"
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
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "digest_edits.txt", 3)) {
    SCOPED_TRACE(row.where);
    std::string text = base;
    const size_t at = text.find(row.Bytes(0));
    ASSERT_NE(at, std::string::npos);
    text.replace(at, row[0].size(), row.Bytes(1));
    EXPECT_EQ(DocumentDigest(text) == digest, row.Bytes(2) == "same");
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
  // A field of data/backoff.txt, "-" for none.
  const auto field = [](const CaseRow& row, size_t i) {
    return row.Text(i) ? std::optional<long>(row.Value(i)) : std::nullopt;
  };
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "backoff.txt", 5)) {
    SCOPED_TRACE(row.where);
    const auto failures = static_cast<int>(row.Value(0));
    const std::optional<long> retryAfter = field(row, 1), expirationHours = field(row, 2);
    std::int64_t cap = -1;
    EXPECT_EQ(BackoffSeconds(failures, retryAfter, expirationHours, Draw{&cap, true}),
              row.Value(4));
    EXPECT_EQ(cap, field(row, 3).value_or(-1));
    cap = -1;
    const std::int64_t lowest =
        BackoffSeconds(failures, retryAfter, expirationHours, Draw{&cap, false});
    // Full jitter reaches down to nothing; a Retry-After is no draw.
    EXPECT_EQ(lowest, retryAfter ? row.Value(4) : 0);
  }
}

}  // namespace
}  // namespace velmora::fleet
