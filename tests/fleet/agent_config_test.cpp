#include "fleet/agent_config.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fleet/credentials.h"
#include "tests/support/case_file.h"
#include "tests/support/temp_folder.h"

namespace velmora::fleet {
namespace {

namespace fs = std::filesystem;

class AgentConfigTest : public TempFolderTest {
 protected:
  fs::path Write(const std::string& name, const std::string& text,
                 fs::perms perms = fs::perms::owner_read | fs::perms::owner_write) {
    const fs::path path = scratch_.Write(name, text);
    fs::permissions(path, perms);
    return path;
  }
};

TEST_F(AgentConfigTest, ReadsEveryKeyOfBothFiles) {
  const fs::path path = Write("agent.conf",
                              "# the fleet's servers\n"
                              "server = http://a.example/front/inventory.php  https://b.example/\n"
                              "  ; a comment after blanks\n"
                              "\n"
                              "server=http://c.example/ http://a.example/front/inventory.php\n"
                              "tag = \"Paris; 3rd floor\"\n"
                              "deviceid = desk-42\r\n"
                              "timeout = 3600\n"
                              "format = ocs\n"
                              "credentials = secret.conf\n"
                              "ca-file = certs/fleet.pem\n"
                              "state = " +
                                  (dir_ / "state").string() + "\n");
  std::string why;
  const std::optional<AgentConfig> config = ReadAgentConfig(path, why);
  ASSERT_TRUE(config) << why;
  EXPECT_EQ(config->servers, (std::vector<std::string>{"http://a.example/front/inventory.php",
                                                       "https://b.example/", "http://c.example/"}));
  EXPECT_EQ(config->tag, "Paris; 3rd floor");
  EXPECT_EQ(config->deviceId, "desk-42");
  EXPECT_EQ(config->timeoutSeconds, 3600);
  EXPECT_EQ(config->format, DeliveryFormat::DeliveryOcs);
  EXPECT_EQ(config->credentials, dir_ / "secret.conf");
  EXPECT_EQ(config->caFile, dir_ / "certs/fleet.pem");
  EXPECT_EQ(config->state, dir_ / "state");

  const std::optional<AgentConfig> empty = ReadAgentConfig(Write("empty.conf", "# none\n"), why);
  ASSERT_TRUE(empty) << why;
  EXPECT_TRUE(empty->servers.empty());
  EXPECT_EQ(empty->timeoutSeconds, 30);
  EXPECT_EQ(empty->format, std::nullopt);

  // Credentials are the whole line.
#ifndef _WIN32  // under Wine these files are everyone's to read (agent_test.py keeps one private)
  const std::optional<Credentials> read =
      ReadCredentials(Write("ok", "user = glpi-agent\npassword =  p;a #s, s w\"\n"), why);
  ASSERT_TRUE(read) << why;
  EXPECT_EQ(read->user, "glpi-agent");
  EXPECT_EQ(read->password, "p;a #s, s w\"");
  // Brackets do not make a list of a value.
  const std::optional<Credentials> bracketed =
      ReadCredentials(Write("bracketed", "user = u\npassword = [a, b]\n"), why);
  ASSERT_TRUE(bracketed) << why;
  EXPECT_EQ(bracketed->password, "[a, b]");
#endif
}

TEST_F(AgentConfigTest, EveryProblemNamesTheFileTheLineAndTheKey) {
  std::string why;
  EXPECT_FALSE(ReadAgentConfig(dir_ / "missing.conf", why));
  EXPECT_EQ(why.rfind((dir_ / "missing.conf").string() + ": cannot be read: ", 0), 0u) << why;
  // A configuration is a few lines: 64 KiB is read, a byte more is not one.
  const std::string server = "server = http://a/\n";
  std::string comment(64 * 1024 - server.size(), 'x');  // "#xxx...\n", no literal-first sum,
  comment.front() = '#';                                // which GCC 12 misreads at -O3
  comment.back() = '\n';
  ASSERT_TRUE(ReadAgentConfig(Write("largest.conf", comment + server), why)) << why;
  const fs::path larger = Write("larger.conf", comment + "#" + server);
  EXPECT_FALSE(ReadAgentConfig(larger, why));
  EXPECT_EQ(why, larger.string() + ": cannot be read: larger than 65536 bytes");
  EXPECT_FALSE(ReadAgentConfig(dir_, why));
  EXPECT_EQ(why, dir_.string() + ": cannot be read: a folder, not a file");
}

// Every row of data/agent_files.txt: a configuration or credentials refused, and why; or
// credentials and the Authorization header they make.
TEST_F(AgentConfigTest, EachRowOfTheFilesTable) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "agent_files.txt", 3, 4)) {
    SCOPED_TRACE(row.where);
    const std::string kind = row.Bytes(0);
    std::string why;
    if (kind == "config") {
      const fs::path path = Write("bad.conf", row.Bytes(1));
      EXPECT_FALSE(ReadAgentConfig(path, why));
      EXPECT_EQ(why.rfind(path.string() + ":" + row.Bytes(2), 0), 0u) << why;
      EXPECT_EQ(why.find('\n'), std::string::npos);
    } else if (kind == "credentials") {
      const auto perms = static_cast<fs::perms>(row.Value(2));
#ifdef _WIN32  // Windows files have an access list, which permissions() does not set
               // (agent_test.py)
      if (perms != (fs::perms::owner_read | fs::perms::owner_write)) continue;
#endif
      const fs::path path = Write("bad", row.Bytes(1), perms);
      EXPECT_FALSE(ReadCredentials(path, why));
      EXPECT_EQ(why, path.string() + ":" + row.Bytes(3));
    } else {
      ASSERT_EQ(kind, "basic");
      EXPECT_EQ(BasicAuthorization({row.Bytes(1), row.Bytes(2)}), row.Bytes(3));
    }
  }
}

}  // namespace
}  // namespace velmora::fleet
