#include "online/picture_response.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"
#include "tests/support/fake_platform.h"

namespace dova {
namespace {

TEST(HeaderEnd, CrLfPairFirstThenLfPairThenCrPair) {
  EXPECT_EQ(HeaderEnd("HTTP/1.0 200 OK\r\nA: b\r\n\r\nbody"), 25u);
  // "\n\n" counts only when there is no "\r\n\r\n" anywhere, even later in the text.
  EXPECT_EQ(HeaderEnd("a\n\nb\r\n\r\nc"), 8u);
  EXPECT_EQ(HeaderEnd("a\n\nb\r\rc"), 3u);
  EXPECT_EQ(HeaderEnd("a\r\rb"), 3u);
  EXPECT_EQ(HeaderEnd("a\r\nb\r\n"), std::string::npos);
  EXPECT_EQ(HeaderEnd(""), std::string::npos);
}

TEST(ReadPictureAddress, TakesTheTrimmedOneLineBody) {
  std::string candidate;
  EXPECT_EQ(ReadPictureAddress("HTTP/1.0 200 OK\r\n\r\n \t http://x/a.jpg\r\n\r\n", candidate),
            PageVerdict::Address);
  EXPECT_EQ(candidate, "http://x/a.jpg");

  EXPECT_EQ(ReadPictureAddress("HTTP/1.0 200 OK\n\nhttp://x/b.jpg", candidate),
            PageVerdict::Address);
  EXPECT_EQ(candidate, "http://x/b.jpg");

  EXPECT_EQ(ReadPictureAddress("HTTP/1.0 200 OK\r\n\r\n", candidate), PageVerdict::Address);
  EXPECT_EQ(candidate, "");

  EXPECT_EQ(
      ReadPictureAddress("HTTP/1.0 200 OK\r\n\r\nhttp://x/a.jpg\r\nhttp://x/b.jpg", candidate),
      PageVerdict::NotOneLine);
  EXPECT_EQ(ReadPictureAddress("HTTP/1.0 200 OK\r\n\r\nhttp://x/a.jpg\rmore", candidate),
            PageVerdict::NotOneLine);
  // No header end at all: nothing is taken from such a page.
  EXPECT_EQ(ReadPictureAddress("http://x/a.jpg", candidate), PageVerdict::NotOneLine);
  EXPECT_EQ(candidate, "");
}

TEST(IsRequestableAddress, OnlyHttpAddressesWithoutControlCharacters) {
  EXPECT_TRUE(IsRequestableAddress("http://x/a.jpg"));
  EXPECT_TRUE(IsRequestableAddress("HTTP://X/A.JPG"));
  EXPECT_TRUE(IsRequestableAddress("http://x"));
  EXPECT_FALSE(IsRequestableAddress("http://"));
  EXPECT_FALSE(IsRequestableAddress("Not Found"));
  EXPECT_TRUE(IsRequestableAddress("https://x/a.jpg"));
  EXPECT_FALSE(IsRequestableAddress("https://"));
  EXPECT_FALSE(IsRequestableAddress("ftp://x/a.jpg"));
  EXPECT_FALSE(IsRequestableAddress(""));
  EXPECT_FALSE(IsRequestableAddress("http://x/a\tb.jpg"));
  EXPECT_FALSE(IsRequestableAddress("http://x/a.jpg\x7f"));
  EXPECT_FALSE(IsRequestableAddress(std::string("http://x/a\0b", 12)));
}

TEST(FindContentLength, ValueRunsToTheFirstLineBreakInAnyCase) {
  std::string value;
  EXPECT_TRUE(FindContentLength("HTTP/1.0 200 OK\r\ncontent-length:  300000 \r\n\r\n", value));
  EXPECT_EQ(value, "300000");
  EXPECT_TRUE(FindContentLength("HTTP/1.0 200 OK\nContent-Length:12\nX: y\n\n", value));
  EXPECT_EQ(value, "12");
  EXPECT_TRUE(FindContentLength("Content-Length: 5\r", value));
  EXPECT_EQ(value, "5");
  // Nothing ends the line: the value is empty and does not read as a number.
  EXPECT_TRUE(FindContentLength("HTTP/1.0 200 OK\r\nContent-Length: 77", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(FindContentLength("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n\r\n", value));
  EXPECT_FALSE(FindContentLength("1", value));
}

TEST(StripHttpHeader, RewritesTheFileWithTheBytesAfterTheHeader) {
  testing::TempDir dir;
  const std::string body("\xff\xd8\xff\xe0\0\x10JFIF\0\r\n\r\nrest", 18);
  const std::string path =
      dir.WriteFile("a.jpg", "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n\r\n" + body);
  EXPECT_EQ(StripHttpHeader(path), StripResult::Stripped);
  EXPECT_EQ(dir.ReadFile("a.jpg"), body);

  // "\n\n" alone separates too.
  dir.WriteFile("b.jpg", "HTTP/1.0 200 OK\n\n" + body);
  EXPECT_EQ(StripHttpHeader(dir.Path() + "b.jpg"), StripResult::Stripped);
  EXPECT_EQ(dir.ReadFile("b.jpg"), body);

  // A separator behind the first zero byte belongs to the picture, not to a header.
  const std::string noHeader("\xff\xd8\0abc\r\n\r\ndef", 13);
  dir.WriteFile("c.jpg", noHeader);
  EXPECT_EQ(StripHttpHeader(dir.Path() + "c.jpg"), StripResult::NoHeaderEnd);
  EXPECT_EQ(dir.ReadFile("c.jpg"), noHeader);

  // An empty file (a failed connection) stays empty.
  dir.WriteFile("d.jpg", "");
  EXPECT_EQ(StripHttpHeader(dir.Path() + "d.jpg"), StripResult::NoHeaderEnd);
  EXPECT_EQ(dir.ReadFile("d.jpg"), "");

  EXPECT_THROW(StripHttpHeader(dir.Path() + "missing.jpg"), Error);
}

}  // namespace
}  // namespace dova
