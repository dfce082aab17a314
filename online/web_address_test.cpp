#include "online/web_address.h"

#include <gtest/gtest.h>

namespace dova {
namespace {

TEST(ParseWebAddress, SchemeHostPortPathAndQuery) {
  std::optional<WebAddress> a = ParseWebAddress("https://Example.com:8443/a/b.jpg?x=1&y=/2");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->scheme, "https");
  EXPECT_EQ(a->authority, "Example.com:8443");
  EXPECT_EQ(a->host, "Example.com");
  EXPECT_EQ(a->port, 8443);
  EXPECT_EQ(a->RequestPath(), "/a/b.jpg?x=1&y=/2");

  a = ParseWebAddress("HTTP://example.com:8080/x");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->host, "example.com");
  EXPECT_EQ(a->port, 8080);
  EXPECT_EQ(a->AbsoluteUri(), "http://example.com:8080/x");

  // The scheme's port, and "/" for an address without a path.
  EXPECT_EQ(ParseWebAddress("https://h")->port, 443);
  EXPECT_EQ(ParseWebAddress("http://h")->port, 80);
  EXPECT_EQ(ParseWebAddress("http://h:")->port, 80);
  EXPECT_EQ(ParseWebAddress("https://h")->RequestPath(), "/");
  EXPECT_EQ(ParseWebAddress("https://h?q=1")->host, "h");
  EXPECT_EQ(ParseWebAddress("https://h?q=1")->RequestPath(), "/?q=1");
  EXPECT_EQ(ParseWebAddress("http://h#top")->RequestPath(), "/#top");

  for (const char* refused :
       {"", "http://", "https://:443/x", "ftp://h/x", "http:/h/x", "http://h:0/", "http://h:65536/",
        "http://h:8o/", "http://h:+80/", "http://user:pw@h/", "http://[::1]/", "//h/x", "h/x"})
    EXPECT_FALSE(ParseWebAddress(refused)) << refused;
}

TEST(ResolveWebAddress, KeepsPortsAndSchemesOfTheResolvedReference) {
  // The resolution itself is ResolveAddressReference's (RFC 3986's examples are tested there):
  // here, what the parsed address adds to it.
  const std::string base = "http://a/b/c/d;p?q";
  EXPECT_EQ(ResolveWebAddress(base, "https://x:8443/p").value_or(""), "https://x:8443/p");
  // A base without a path, a scheme-relative reference keeping https.
  EXPECT_EQ(ResolveWebAddress("https://h", "a.jpg").value_or(""), "https://h/a.jpg");
  EXPECT_EQ(ResolveWebAddress("https://h/x", "//cdn:444/p?q").value_or(""), "https://cdn:444/p?q");
  // Nothing that is not an http or https address comes out.
  EXPECT_FALSE(ResolveWebAddress(base, "ftp://h/x"));
  EXPECT_FALSE(ResolveWebAddress(base, "mailto:a@b"));
  EXPECT_FALSE(ResolveWebAddress("not an address", "/x"));
}

}  // namespace
}  // namespace dova
