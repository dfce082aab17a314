#include "online/decimal_text.h"

#include <climits>

#include "platform/error.h"

namespace dova {

int ReadDecimalInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t firstDigit = i;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (i == firstDigit || i != text.size() || value > INT_MAX || value < INT_MIN)
    throw Error("'" + text + "' is not a valid integer value");
  return static_cast<int>(value);
}

}  // namespace dova
