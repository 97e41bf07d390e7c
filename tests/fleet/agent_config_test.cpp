#include "fleet/agent_config.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fleet/credentials.h"
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

TEST_F(AgentConfigTest, ReadsEveryKey) {
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
}

TEST_F(AgentConfigTest, EveryProblemNamesTheFileTheLineAndTheKey) {
  struct Case {
    const char* text;
    std::string expected;  // after "FILE:"
  };
  const std::vector<Case> cases = {
      {"server = http://a/\nsevrer = http://b/\n", "2: sevrer: unknown key"},
      {"\n\nserver =\n", "3: server: no URL"},
      {"server = ftp://a/\n", "1: server: \"ftp://a/\" is not an http:// or https:// URL"},
      {"timeout = soon\n", "1: timeout: \"soon\" is not a number of seconds from 1 to 3600"},
      {"timeout = 0\n", "1: timeout: \"0\" is not"},
      {"timeout = 3601\n", "1: timeout: \"3601\" is not"},
      {"timeout = 30s\n", "1: timeout: \"30s\" is not"},
      {"tag = a\ntag = b\n", "2: tag: given twice"},
      {"format = json\n", "1: format: \"json\" is not a format (glpi or ocs)"},
      {"# x\nserver http://a/\n", "2: server http://a/: not a \"key = value\" line"},
      {"[agent]\n", "1: [agent]: not a \"key = value\" line"},
      {"agent.server = http://a/\n", "1: agent.server: unknown key"},
      {"state =\n", "1: state: no path"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const fs::path path = Write("bad.conf", c.text);
    std::string why;
    EXPECT_FALSE(ReadAgentConfig(path, why));
    EXPECT_EQ(why.rfind(path.string() + ":" + c.expected, 0), 0u) << why;
    EXPECT_EQ(why.find('\n'), std::string::npos);
  }
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

TEST_F(AgentConfigTest, CredentialsAreTheWholeLineAndPrivate) {
  std::string why;
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

  struct Case {
    const char* text;
    fs::perms perms;
    std::string expected;  // the line after "FILE:"
  };
  const fs::perms owner = fs::perms::owner_read | fs::perms::owner_write;
  std::vector<Case> cases = {
      {"user = a\n", owner, " password: missing"},
      {"password = b\n", owner, " user: missing"},
      {"user =\npassword = b\n", owner, " user: missing"},
      {"user = a:b\npassword = b\n", owner, " user: holds a ':'"},
      {"user = a\npassword = b\npassword = c\n", owner, "3: password: given twice"},
      {"user = a\npass = b\n", owner, "2: pass: unknown key"},
  };
#ifndef _WIN32  // Windows files have an access list, which permissions() does not set
                // (agent_test.py)
  cases.push_back({"user = a\npassword = b\n", owner | fs::perms::group_read,
                   " others may read it (mode 0640); it must be readable by its owner only"});
  cases.push_back({"user = a\npassword = b\n", fs::perms::owner_read | fs::perms::others_read,
                   " others may read it (mode 0404); it must be readable by its owner only"});
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const fs::path path = Write("bad", c.text, c.perms);
    EXPECT_FALSE(ReadCredentials(path, why));
    EXPECT_EQ(why, path.string() + ":" + c.expected);
  }
}

TEST(BasicAuthorizationTest, Base64OfUserColonPassword) {
  // RFC 7617's example, and each length of the last group.
  struct Case {
    Credentials credentials;
    const char* header;
  };
  const Case cases[] = {
      {{"Aladdin", "open sesame"}, "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ=="},
      {{"a", ""}, "Basic YTo="},
      {{"ab", ""}, "Basic YWI6"},
      {{"ab", "c"}, "Basic YWI6Yw=="},
      {{"\xff\xfe", "\x80"}, "Basic //46gA=="},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    EXPECT_EQ(BasicAuthorization(c.credentials), c.header);
  }
}

}  // namespace
}  // namespace velmora::fleet
