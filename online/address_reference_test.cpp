#include "online/address_reference.h"

#include <gtest/gtest.h>

namespace dova {
namespace {

std::string Resolve(const std::string& base, const std::string& reference) {
  return ResolveAddressReference(base, reference).value_or("<refused>");
}

TEST(ResolveAddressReference, FollowsTheExamplesOfRfc3986) {
  const std::string base = "http://a/b/c/d;p?q";
  const std::pair<const char*, const char*> examples[] = {
      {"g", "http://a/b/c/g"},
      {"./g", "http://a/b/c/g"},
      {"g/", "http://a/b/c/g/"},
      {"/g", "http://a/g"},
      {"//g", "http://g"},
      {"?y", "http://a/b/c/d;p?y"},
      {"g?y", "http://a/b/c/g?y"},
      {"#s", "http://a/b/c/d;p?q"},
      {";x", "http://a/b/c/;x"},
      {"", "http://a/b/c/d;p?q"},
      {".", "http://a/b/c/"},
      {"..", "http://a/b/"},
      {"../g", "http://a/b/g"},
      {"../..", "http://a/"},
      {"../../../g", "http://a/g"},
      {"/./g", "http://a/g"},
      {"/../g", "http://a/g"},
      {"g.", "http://a/b/c/g."},
      {"..g", "http://a/b/c/..g"},
      {"./../g", "http://a/b/g"},
      {"g/../h", "http://a/b/c/h"},
      {"g;x=1/../y", "http://a/b/c/y"},
      {"g?y/./x", "http://a/b/c/g?y/./x"},
      {"HTTPS://h/x", "https://h/x"},
  };
  for (const auto& [reference, expected] : examples)
    EXPECT_EQ(Resolve(base, reference), expected) << reference;
  // Bing's urlbase and a scheme-relative address on an https page.
  EXPECT_EQ(Resolve("https://www.bing.com/HPImageArchive.aspx?format=js", "/th?id=OHR.X_UHD.jpg"),
            "https://www.bing.com/th?id=OHR.X_UHD.jpg");
  EXPECT_EQ(Resolve("https://en.wikipedia.org/api", "//upload.wikimedia.org/a.jpg"),
            "https://upload.wikimedia.org/a.jpg");
}

TEST(ResolveAddressReference, EncodesWhatCannotTravelAndRefusesTheRest) {
  EXPECT_EQ(Resolve("http://h/p/", " photos/Zürich lake.jpg \r\n"),
            "http://h/p/photos/Z%C3%BCrich%20lake.jpg");
  EXPECT_EQ(Resolve("http://h/", "a\"<{|}>.jpg"), "http://h/a%22%3C%7B%7C%7D%3E.jpg");
  EXPECT_EQ(Resolve("http://h/", "ftp://h/a.jpg"), "<refused>");
  EXPECT_EQ(Resolve("http://h/", "javascript:alert(1)"), "<refused>");
  EXPECT_EQ(Resolve("http://h/", "file:///c:/x.jpg"), "<refused>");
  EXPECT_EQ(Resolve("http://h/", "http:///x.jpg"), "<refused>");  // no host
  EXPECT_EQ(Resolve("http://h/", "a\r\nHost: evil/b.jpg"), "<refused>");
  EXPECT_EQ(Resolve("http://h/", "a\xff.jpg"), "<refused>");  // not UTF-8
  EXPECT_EQ(Resolve("file:///page", "a.jpg"), "<refused>");
  EXPECT_EQ(Resolve("not an address", "/a.jpg"), "<refused>");
}

}  // namespace
}  // namespace dova
