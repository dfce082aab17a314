#include "online/web_address.h"

#include "online/address_reference.h"
#include "text/number_text.h"

namespace dova {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiLower(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string WebAddress::RequestPath() const {
  if (path.empty()) return "/";
  return path[0] == '/' ? path : "/" + path;
}

std::optional<WebAddress> ParseWebAddress(const std::string& url) {
  WebAddress address;
  std::size_t start;
  const std::string lower = AsciiLower(url.substr(0, 8));
  if (lower.compare(0, 7, "http://") == 0) {
    address.scheme = "http";
    address.port = 80;
    start = 7;
  } else if (lower.compare(0, 8, "https://") == 0) {
    address.scheme = "https";
    address.port = 443;
    start = 8;
  } else {
    return std::nullopt;
  }
  const std::size_t end = std::min(url.find_first_of("/?#", start), url.size());
  address.authority = url.substr(start, end - start);
  address.path = url.substr(end);
  if (address.authority.find_first_of("@[]") != std::string::npos) return std::nullopt;
  const std::size_t colon = address.authority.find(':');
  address.host = address.authority.substr(0, colon);
  if (address.host.empty()) return std::nullopt;
  if (colon != std::string::npos && colon + 1 < address.authority.size()) {
    const std::string portText = address.authority.substr(colon + 1);
    for (char c : portText)
      if (!IsDigit(c)) return std::nullopt;
    const std::optional<long long> port = ReadInteger(portText, kDecimalInteger, 0, 65535);
    if (!port || *port < 1) return std::nullopt;
    address.port = static_cast<std::uint16_t>(*port);
  }
  return address;
}

WebAddress ReadWebAddress(const std::string& url) {
  if (std::optional<WebAddress> parsed = ParseWebAddress(url)) return *parsed;
  WebAddress address;
  const std::string rest = url.size() > 7 ? url.substr(7) : std::string();
  const std::size_t slash = rest.find('/');
  address.authority = rest.substr(0, slash);
  address.host = address.authority;
  if (slash != std::string::npos) address.path = rest.substr(slash);
  return address;
}

std::optional<std::string> ResolveWebAddress(const std::string& base,
                                             const std::string& reference) {
  // One resolver for redirects and channel pages alike; the result must also be an address
  // the fetcher can take (a port it can read, no login in it).
  if (!ParseWebAddress(base)) return std::nullopt;
  std::optional<std::string> result = ResolveAddressReference(base, reference);
  if (!result || !ParseWebAddress(*result)) return std::nullopt;
  return result;
}

}  // namespace dova
