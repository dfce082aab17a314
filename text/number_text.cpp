#include "text/number_text.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/error.h"

namespace dova {

std::optional<long long> ReadInteger(const std::string& text, IntegerSyntax syntax,
                                     long long min, long long max) {
  std::size_t i = 0;
  if (syntax.leadingBlanks)
    while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (syntax.hexadecimal && i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (syntax.hexadecimal && i + 1 < text.size() && text[i] == '0' &&
             (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  // The magnitude may reach one past LLONG_MAX for LLONG_MIN; anything beyond that is refused
  // before it can overflow.
  const unsigned long long limit =
      negative ? 0ULL - static_cast<unsigned long long>(min) : static_cast<unsigned long long>(max);
  if ((negative && min > 0) || (!negative && max < 0)) return std::nullopt;
  unsigned long long magnitude = 0;
  for (; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned digit;
    if (std::isdigit(c))
      digit = c - '0';
    else if (base == 16 && std::isxdigit(c))
      digit = static_cast<unsigned>(std::tolower(c) - 'a' + 10);
    else
      return std::nullopt;
    if (digit > limit || magnitude > (limit - digit) / base) return std::nullopt;
    magnitude = magnitude * base + digit;
  }
  if (!negative) return static_cast<long long>(magnitude);
  return magnitude == 0ULL - static_cast<unsigned long long>(LLONG_MIN)
             ? LLONG_MIN
             : -static_cast<long long>(magnitude);
}

bool ParseInteger(const std::string& text, int& value) {
  const std::optional<long long> read = ReadInteger(text, kSettingsInteger, INT_MIN, INT_MAX);
  if (!read) return false;
  value = static_cast<int>(*read);
  return true;
}

std::string NotAnIntegerMessage(const std::string& text) {
  return "'" + text + "' is not a valid integer value";
}

int ReadDecimalInteger(const std::string& text) {
  const std::optional<long long> read = ReadInteger(text, kDecimalInteger, INT_MIN, INT_MAX);
  if (!read) throw Error(NotAnIntegerMessage(text));
  return static_cast<int>(*read);
}

long long ReadDecimalLong(const std::string& text) {
  const std::optional<long long> read = ReadInteger(text, kDecimalInteger, -LLONG_MAX, LLONG_MAX);
  if (!read) throw Error(NotAnIntegerMessage(text));
  return *read;
}

bool ParseFloat(const std::string& text, char separator, double& value) {
  std::string plain;
  std::size_t i = 0;
  auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) plain += text[i++];
    return i > start;
  };
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
  bool any = digits();
  if (i < text.size() && text[i] == separator) {
    plain += '.';
    ++i;
    any = digits() || any;
  }
  if (!any) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    if (!digits()) return false;
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size()) return false;
  errno = 0;
  char* end = nullptr;
  // The text is rebuilt with '.', which strtod reads in the "C" locale the program runs in.
  const double parsed = std::strtod(plain.c_str(), &end);
  if (errno == ERANGE || end == plain.c_str()) return false;
  value = parsed;
  return true;
}

std::string FormatGeneral(double value, int digits, char separator) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*G", digits, value);
  std::string result = text;
  for (char& c : result)
    if (c == '.') c = separator;
  return result;
}

std::string Trim(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace dova
