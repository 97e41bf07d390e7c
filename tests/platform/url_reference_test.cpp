#include "platform/url_reference.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(UrlReferenceTest, ResolvesAgainstTheUrlItCameFrom) {
  // The reference resolution examples of RFC 3986 (5.4), and the forms servers put in Location.
  constexpr const char* kBase = "http://a/b/c/d;p?q";
  struct Case {
    const char* reference;
    const char* resolved;
  };
  const Case cases[] = {
      {"g", "http://a/b/c/g"},
      {"./g", "http://a/b/c/g"},
      {"g/", "http://a/b/c/g/"},
      {"/g", "http://a/g"},
      {"//g", "http://g"},
      {"?y", "http://a/b/c/d;p?y"},
      {"g?y", "http://a/b/c/g?y"},
      {"#s", "http://a/b/c/d;p?q"},
      {"", "http://a/b/c/d;p?q"},
      {".", "http://a/b/c/"},
      {"./", "http://a/b/c/"},
      {"..", "http://a/b/"},
      {"../g", "http://a/b/g"},
      {"../..", "http://a/"},
      {"../../g", "http://a/g"},
      {"../../../g", "http://a/g"},
      {"/./g", "http://a/g"},
      {"/../g", "http://a/g"},
      {"g.", "http://a/b/c/g."},
      {"..g", "http://a/b/c/..g"},
      {"./../g", "http://a/b/g"},
      {"g/./h", "http://a/b/c/g/h"},
      {"g/../h", "http://a/b/c/h"},
      {"https://glpi.example/front/inventory.php", "https://glpi.example/front/inventory.php"},
      {"HTTP://A/./x/../y", "HTTP://A/y"},
      {"//other:8080/glpi/", "http://other:8080/glpi/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reference);
    EXPECT_EQ(ResolveReference(kBase, c.reference), c.resolved);
  }
  EXPECT_EQ(ResolveReference("http://host:81", "next"), "http://host:81/next");
  EXPECT_EQ(ResolveReference("http://host/inventory.php", "/"), "http://host/");
}

TEST(UrlReferenceTest, OriginIsSchemeHostAndPort) {
  struct Case {
    const char* url;
    const char* origin;
  };
  const Case cases[] = {
      {"http://a/b/c", "http://a"},
      {"HTTPS://Glpi.Example:8443/x?y", "https://glpi.example:8443"},
      {"http://a:81", "http://a:81"},
      {"http://a?q", "http://a"},
      {"/relative/path", ""},
      {"mailto:someone@example.org", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(OriginOf(c.url), c.origin);
  }
}

}  // namespace
}  // namespace platform
