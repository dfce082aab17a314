#include "online/web_address.h"

#include "text/number_text.h"

namespace dova {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiLower(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The five parts of a URI reference (RFC 3986, appendix B). A part that is absent is nothing;
// the path is always there, perhaps empty.
struct UriParts {
  std::optional<std::string> scheme;
  std::optional<std::string> authority;
  std::string path;
  std::optional<std::string> query;
  std::optional<std::string> fragment;
};

UriParts SplitUri(const std::string& text) {
  UriParts parts;
  std::size_t i = 0;
  // A scheme is letters, digits, "+", "-" and "." from a letter up to a ":", before any of
  // "/?#".
  std::size_t colon = text.find_first_of(":/?#");
  if (colon != std::string::npos && text[colon] == ':' && colon > 0 && IsAlpha(text[0])) {
    bool valid = true;
    for (std::size_t k = 1; k < colon; ++k) {
      const char c = text[k];
      if (!IsAlpha(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') valid = false;
    }
    if (valid) {
      parts.scheme = text.substr(0, colon);
      i = colon + 1;
    }
  }
  if (text.compare(i, 2, "//") == 0) {
    const std::size_t end = std::min(text.find_first_of("/?#", i + 2), text.size());
    parts.authority = text.substr(i + 2, end - i - 2);
    i = end;
  }
  const std::size_t pathEnd = std::min(text.find_first_of("?#", i), text.size());
  parts.path = text.substr(i, pathEnd - i);
  i = pathEnd;
  if (i < text.size() && text[i] == '?') {
    const std::size_t end = std::min(text.find('#', i), text.size());
    parts.query = text.substr(i + 1, end - i - 1);
    i = end;
  }
  if (i < text.size()) parts.fragment = text.substr(i + 1);
  return parts;
}

// RFC 3986 section 5.2.4.
std::string RemoveDotSegments(std::string input) {
  std::string output;
  while (!input.empty()) {
    if (input.compare(0, 3, "../") == 0) {
      input.erase(0, 3);
    } else if (input.compare(0, 2, "./") == 0) {
      input.erase(0, 2);
    } else if (input.compare(0, 3, "/./") == 0) {
      input.erase(0, 2);
    } else if (input == "/.") {
      input = "/";
    } else if (input.compare(0, 4, "/../") == 0 || input == "/..") {
      input = input.size() == 3 ? "/" : input.substr(3);
      const std::size_t last = output.rfind('/');
      output.erase(last == std::string::npos ? 0 : last);
    } else if (input == "." || input == "..") {
      input.clear();
    } else {
      const std::size_t next = input.find('/', input[0] == '/' ? 1 : 0);
      output += input.substr(0, next);
      input.erase(0, next == std::string::npos ? input.size() : next);
    }
  }
  return output;
}

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
  if (!ParseWebAddress(base)) return std::nullopt;
  const UriParts b = SplitUri(base);
  const UriParts r = SplitUri(reference);
  UriParts t;
  if (r.scheme) {
    t.scheme = r.scheme;
    t.authority = r.authority;
    t.path = RemoveDotSegments(r.path);
    t.query = r.query;
  } else {
    t.scheme = b.scheme;
    if (r.authority) {
      t.authority = r.authority;
      t.path = RemoveDotSegments(r.path);
      t.query = r.query;
    } else {
      t.authority = b.authority;
      if (r.path.empty()) {
        t.path = b.path;
        t.query = r.query ? r.query : b.query;
      } else {
        if (r.path[0] == '/') {
          t.path = RemoveDotSegments(r.path);
        } else {
          // Merge (5.2.3): the base path up to its last "/", or "/" for a base without a path.
          const std::size_t slash = b.path.rfind('/');
          const std::string merged =
              b.authority && b.path.empty()
                  ? "/" + r.path
                  : (slash == std::string::npos ? r.path : b.path.substr(0, slash + 1) + r.path);
          t.path = RemoveDotSegments(merged);
        }
        t.query = r.query;
      }
    }
  }
  std::string result = *t.scheme + ":";
  if (t.authority) result += "//" + *t.authority;
  result += t.path;
  if (t.query) result += "?" + *t.query;
  if (!ParseWebAddress(result)) return std::nullopt;
  return result;
}

}  // namespace dova
