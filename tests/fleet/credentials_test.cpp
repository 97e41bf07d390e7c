#include "fleet/credentials.h"

#include <gtest/gtest.h>

namespace velmora::fleet {
namespace {

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
