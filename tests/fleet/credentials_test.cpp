#include "fleet/credentials.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace velmora::fleet {
namespace {

namespace fs = std::filesystem;

class CredentialsTest : public ::testing::Test {
 protected:
  fs::path Write(const std::string& text, fs::perms perms = fs::perms::owner_read) {
    const fs::path path = fs::temp_directory_path() /
                          ("velmora-credentials-" +
                           std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                           std::to_string(count_++));
    std::ofstream(path, std::ios::binary) << text;
    fs::permissions(path, perms);
    written_.push_back(path);
    return path;
  }
  void SetUp() override {
#ifdef _WIN32
    // A new file takes its folder's ACL, which lets the machine's users read the temporary
    // folder's files; the installer makes the credentials' own ACL.
    GTEST_SKIP() << "the ACL of a file only its owner may read is the installer's to make";
#endif
  }
  void TearDown() override {
    for (const fs::path& path : written_) {
      fs::permissions(path, fs::perms::owner_all);
      fs::remove(path);
    }
  }

 private:
  int count_ = 0;
  std::vector<fs::path> written_;
};

TEST_F(CredentialsTest, ReadsUserAndPassword) {
  std::string why;
  const auto read = ReadCredentials(
      Write("# GLPI agent account\n\n user = glpi-agent \r\n;x\npassword=  p = w  \n"), why);
  ASSERT_TRUE(read.has_value()) << why;
  EXPECT_EQ(read->user, "glpi-agent");
  EXPECT_EQ(read->password, "p = w");
}

TEST_F(CredentialsTest, RefusesWithOneLineWithoutThePassword) {
  struct Case {
    const char* name;
    std::string text;
    fs::perms perms;
    const char* why;
  };
  const fs::perms mine = fs::perms::owner_read | fs::perms::owner_write;
  const Case cases[] = {
      {"group may read", "user = a\npassword = s3cret\n", mine | fs::perms::group_read,
       "others than its owner may read it"},
      {"others may read", "user = a\npassword = s3cret\n", mine | fs::perms::others_read,
       "others than its owner may read it"},
      {"a bare line", "user = a\ns3cret\n", mine, ":2: not a key = value line"},
      {"unknown key", "user = a\npasword = s3cret\n", mine, ":2: unknown key \"pasword\""},
      {"no user", "password = s3cret\n", mine, "no user = line"},
      {"empty user", "user =\npassword = s3cret\n", mine, "no user = line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string why;
    EXPECT_FALSE(ReadCredentials(Write(c.text, c.perms), why).has_value());
    EXPECT_NE(why.find(c.why), std::string::npos) << why;
    EXPECT_EQ(why.find("s3cret"), std::string::npos) << why;
  }
  std::string why;
  EXPECT_FALSE(ReadCredentials(fs::temp_directory_path() / "velmora-no-such-file", why));
  EXPECT_NE(why.find("cannot be read"), std::string::npos) << why;
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
