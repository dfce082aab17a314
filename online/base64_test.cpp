#include "online/base64.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace dova {
namespace {

// Calls the C interface and takes ownership of its text.
std::string Encode(const std::string& bytes, std::ptrdiff_t* length = nullptr) {
  char* text = nullptr;
  std::ptrdiff_t n = Base64Encode(bytes.data(), bytes.size(), &text);
  EXPECT_GE(n, 0);
  EXPECT_NE(text, nullptr);
  std::string result(text);
  EXPECT_EQ(static_cast<std::size_t>(n), result.size()) << "length equals the text up to its zero";
  if (length) *length = n;
  std::free(text);
  return result;
}

TEST(Base64Encode, KnownTextsFromTheStandard) {
  // RFC 4648 section 10 test vectors.
  EXPECT_EQ(Encode(""), "");
  EXPECT_EQ(Encode("f"), "Zg==");
  EXPECT_EQ(Encode("fo"), "Zm8=");
  EXPECT_EQ(Encode("foo"), "Zm9v");
  EXPECT_EQ(Encode("foob"), "Zm9vYg==");
  EXPECT_EQ(Encode("fooba"), "Zm9vYmE=");
  EXPECT_EQ(Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Encode("abc"), "YWJj");
}

TEST(Base64Encode, ProxyCredentials) {
  EXPECT_EQ(Encode("user:pass"), "dXNlcjpwYXNz");
  EXPECT_EQ(Encode(":"), "Og==");
  EXPECT_EQ(Encode("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
}

TEST(Base64Encode, EmptyInputGivesEmptyTextOfLengthZero) {
  char* text = nullptr;
  EXPECT_EQ(Base64Encode(nullptr, 0, &text), 0);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text[0], '\0');
  std::free(text);
}

TEST(Base64Encode, BytesAreUnsignedAndEveryValueRoundsTheAlphabet) {
  // High bytes must not sign-extend into neighbouring characters.
  EXPECT_EQ(Encode(std::string("\xff\xff\xff", 3)), "////");
  EXPECT_EQ(Encode(std::string("\xff", 1)), "/w==");
  EXPECT_EQ(Encode(std::string("\x00\x00\x00", 3)), "AAAA");
  EXPECT_EQ(Encode(std::string("\xfb\xef\xbe", 3)), "++++");
  // Windows-1251 text "Привет:пароль" goes byte for byte.
  EXPECT_EQ(Encode("\xcf\xf0\xe8\xe2\xe5\xf2:\xef\xe0\xf0\xee\xeb\xfc"), "z/Do4uXyOu/g8O7r/A==");
}

TEST(Base64Encode, LengthIsFourPerGroupAndPaddingFollowsTheLastGroup) {
  std::string input;
  for (int count = 0; count <= 300; ++count) {
    std::ptrdiff_t length = 0;
    std::string text = Encode(input, &length);
    EXPECT_EQ(length, 4 * ((count + 2) / 3)) << count;
    const std::size_t pads = text.size() - text.find_last_not_of('=') - 1;
    EXPECT_EQ(text.empty() ? 0u : pads, count % 3 == 0 ? 0u : 3u - count % 3) << count;
    EXPECT_EQ(
        text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
        std::string::npos);
    input.push_back(static_cast<char>(count * 37 + 11));
  }
}

TEST(Base64Encode, HugeCountIsRefusedWithoutTouchingTheOutput) {
  char* text = reinterpret_cast<char*>(0x1);
  const char byte = 0;
  EXPECT_EQ(Base64Encode(&byte, static_cast<std::size_t>(-1), &text), -1);
  EXPECT_EQ(text, reinterpret_cast<char*>(0x1));
}

TEST(Base64EncodeText, MatchesTheCInterface) {
  EXPECT_EQ(Base64EncodeText("user:pass"), "dXNlcjpwYXNz");
  EXPECT_EQ(Base64EncodeText(""), "");
}

}  // namespace
}  // namespace dova
