#include "online/address_reference.h"

#include <algorithm>
#include <cstring>

#include "platform/unicode_text.h"
#include "text/number_text.h"

namespace dova {

namespace {

// The five parts of RFC 3986, appendix B; an absent part differs from an empty one.
struct AddressParts {
  std::optional<std::string> scheme, authority;
  std::string path;
  std::optional<std::string> query;
};

AddressParts SplitAddress(const std::string& text) {
  AddressParts parts;
  std::size_t at = 0;
  const std::size_t schemeEnd = text.find_first_of(":/?#");
  if (schemeEnd != std::string::npos && schemeEnd > 0 && text[schemeEnd] == ':') {
    parts.scheme = text.substr(0, schemeEnd);
    at = schemeEnd + 1;
  }
  if (text.compare(at, 2, "//") == 0) {
    const std::size_t end = text.find_first_of("/?#", at + 2);
    parts.authority = text.substr(at + 2, end == std::string::npos ? end : end - at - 2);
    at = end == std::string::npos ? text.size() : end;
  }
  const std::size_t pathEnd = std::min(text.find_first_of("?#", at), text.size());
  parts.path = text.substr(at, pathEnd - at);
  at = pathEnd;
  if (at < text.size() && text[at] == '?') {
    const std::size_t end = std::min(text.find('#', at), text.size());
    parts.query = text.substr(at + 1, end - at - 1);
  }
  return parts;
}

// RFC 3986, section 5.2.4.
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
      const std::size_t next = input.find('/', 1);
      const std::size_t count = next == std::string::npos ? input.size() : next;
      output.append(input, 0, count);
      input.erase(0, count);
    }
  }
  return output;
}

// RFC 3986, section 5.2.3.
std::string MergePaths(const AddressParts& base, const std::string& path) {
  if (base.authority && base.path.empty()) return "/" + path;
  const std::size_t slash = base.path.rfind('/');
  return slash == std::string::npos ? path : base.path.substr(0, slash + 1) + path;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool IsWebScheme(const std::optional<std::string>& scheme) {
  return scheme && (Lower(*scheme) == "http" || Lower(*scheme) == "https");
}

// Percent-encodes what may not stand in a request line; nothing when the text cannot be sent.
std::optional<std::string> EncodeForRequest(const std::string& text) {
  if (!IsValidUtf8(text)) return std::nullopt;
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return std::nullopt;
    if (u >= 0x80 || u == ' ' || std::strchr("\"<>\\^`{|}", c)) {
      encoded += '%';
      encoded += kHex[u >> 4];
      encoded += kHex[u & 15];
    } else {
      encoded += c;
    }
  }
  return encoded;
}

}  // namespace

std::optional<std::string> ResolveAddressReference(const std::string& base,
                                                   const std::string& reference) {
  const std::optional<std::string> baseText = EncodeForRequest(Trim(base));
  const std::optional<std::string> referenceText = EncodeForRequest(Trim(reference));
  if (!baseText || !referenceText) return std::nullopt;
  const AddressParts b = SplitAddress(*baseText);
  if (!IsWebScheme(b.scheme) || !b.authority || b.authority->empty()) return std::nullopt;

  const AddressParts r = SplitAddress(*referenceText);
  AddressParts t;
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
        t.path = RemoveDotSegments(r.path[0] == '/' ? r.path : MergePaths(b, r.path));
        t.query = r.query;
      }
    }
  }
  if (!IsWebScheme(t.scheme) || !t.authority || t.authority->empty()) return std::nullopt;
  std::string result = Lower(*t.scheme) + "://" + *t.authority;
  result += t.path;
  if (t.query) result += "?" + *t.query;
  return result;
}

}  // namespace dova
