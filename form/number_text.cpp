#include "form/number_text.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/error.h"

namespace dova {

bool ParseInteger(const std::string& text, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  long long magnitude = 0;
  for (; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int digit;
    if (std::isdigit(c))
      digit = c - '0';
    else if (base == 16 && std::isxdigit(c))
      digit = std::tolower(c) - 'a' + 10;
    else
      return false;
    magnitude = magnitude * base + digit;
    if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) magnitude = -magnitude;
  if (magnitude > INT_MAX || magnitude < INT_MIN) return false;
  value = static_cast<int>(magnitude);
  return true;
}

std::string NotAnIntegerMessage(const std::string& text) {
  return "'" + text + "' is not a valid integer value";
}

int ToInteger(const std::string& text) {
  int value = 0;
  if (!ParseInteger(text, value)) throw Error(NotAnIntegerMessage(text));
  return value;
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

}  // namespace dova
