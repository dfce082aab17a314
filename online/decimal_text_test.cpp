#include "online/decimal_text.h"

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

}  // namespace
}  // namespace dova
