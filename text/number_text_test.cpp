#include "text/number_text.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace dova {
namespace {

TEST(ReadDecimalInteger, ReadsSignedDecimalNumbers) {
  EXPECT_EQ(ReadDecimalInteger("8080"), 8080);
  EXPECT_EQ(ReadDecimalInteger("0"), 0);
  EXPECT_EQ(ReadDecimalInteger("-5"), -5);
  EXPECT_EQ(ReadDecimalInteger("+7"), 7);
  EXPECT_EQ(ReadDecimalInteger("  100"), 100);
  EXPECT_EQ(ReadDecimalInteger("2147483647"), 2147483647);
  EXPECT_EQ(ReadDecimalInteger("-2147483648"), -2147483647 - 1);
}

TEST(ReadDecimalInteger, RefusesEverythingElseWithTheTextInTheMessage) {
  for (const char* text : {"", "abc", "12a", "8080 ", "-", " ", "1.5", "2147483648",
                           "-2147483649", "99999999999999999999", "0x10"}) {
    try {
      ReadDecimalInteger(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

TEST(ReadDecimalLong, DecimalWithin64Bits) {
  EXPECT_EQ(ReadDecimalLong("0"), 0);
  EXPECT_EQ(ReadDecimalLong("204800"), 204800);
  EXPECT_EQ(ReadDecimalLong("+7"), 7);
  EXPECT_EQ(ReadDecimalLong("-7"), -7);
  EXPECT_EQ(ReadDecimalLong("5000000000"), 5000000000LL);
  EXPECT_EQ(ReadDecimalLong("9223372036854775807"), 9223372036854775807LL);
  for (const char* bad :
       {"", " ", "12a", "0x10", "1 2", "9223372036854775808", "99999999999999999999999"})
    EXPECT_THROW(ReadDecimalLong(bad), Error) << bad;
}

TEST(ParseInteger, SettingsIntegersTakeHexadecimalButNoBlanks) {
  int value = 0;
  EXPECT_TRUE(ParseInteger("$1F", value));
  EXPECT_EQ(value, 31);
  EXPECT_TRUE(ParseInteger("-0x10", value));
  EXPECT_EQ(value, -16);
  EXPECT_TRUE(ParseInteger("-2147483648", value));
  EXPECT_EQ(value, -2147483647 - 1);
  for (const char* bad : {"", " 5", "5 ", "$", "0x", "2147483648", "$G", "1e3"})
    EXPECT_FALSE(ParseInteger(bad, value)) << bad;
}

TEST(ReadInteger, RangeIsCheckedWithoutOverflow) {
  EXPECT_EQ(ReadInteger("-9223372036854775808", kDecimalInteger, LLONG_MIN, LLONG_MAX),
            LLONG_MIN);
  EXPECT_FALSE(ReadInteger("18446744073709551616", kDecimalInteger, LLONG_MIN, LLONG_MAX));
  EXPECT_FALSE(ReadInteger("-1", kDecimalInteger, 0, 10));
  EXPECT_EQ(ReadInteger("10", kDecimalInteger, 0, 10), 10);
  EXPECT_FALSE(ReadInteger("11", kDecimalInteger, 0, 10));
}

TEST(Trim, BlanksAndControlBytesGoAtBothEnds) {
  EXPECT_EQ(Trim(" \t minimized\r\n"), "minimized");
  EXPECT_EQ(Trim("a b"), "a b");
  EXPECT_EQ(Trim(" \x01 "), "");
}

}  // namespace
}  // namespace dova
