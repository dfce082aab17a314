#include "online/web_address.h"

namespace dova {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(const std::string& text, const std::string& lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
    if (AsciiLower(text[i]) != lowerPrefix[i]) return false;
  return true;
}

}  // namespace

WebAddress SplitWebAddress(const std::string& url) {
  WebAddress address;
  const std::string rest = url.size() > 7 ? url.substr(7) : std::string();
  const std::size_t slash = rest.find('/');
  address.authority = rest.substr(0, slash);
  address.host = address.authority;
  if (slash != std::string::npos) address.path = rest.substr(slash);
  return address;
}

bool HasHttpScheme(const std::string& url) {
  return url.size() > 7 && StartsWithNoCase(url, "http://");
}

}  // namespace dova
