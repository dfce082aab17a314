// The addresses the fetcher requests, taken apart in one place: the scheme, the host that is
// looked up, the port, and the path with its query; and a reference (a redirect's Location)
// resolved against the address it came from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dova {

struct WebAddress {
  std::string scheme = "http";  // "http" or "https", lower case
  std::string authority;        // host and port as written: the Host header
  std::string host;             // the name looked up and, for https, the certificate's name
  std::uint16_t port = 80;      // as written, else the scheme's: 80 or 443
  std::string path;  // from the first "/" or "?" after the authority on, as written; may be ""

  bool Secure() const { return scheme == "https"; }
  // The path to request: "/" when the address names none, "/?q" when it names a query only.
  // Whatever follows the path is sent as written, a "#fragment" included.
  std::string RequestPath() const;
  // The address as a proxy is asked for it: the scheme in lower case, then the rest as written.
  std::string AbsoluteUri() const { return scheme + "://" + authority + path; }
};

// Reads "http://host[:port][/path][?query]" or "https://…", the scheme in any case. Nothing
// for any other scheme, an empty host, user information ("user@host"), a bracketed (IPv6)
// host, or a port that is not a number in 1..65535 ("host:" takes the scheme's port).
std::optional<WebAddress> ParseWebAddress(const std::string& url);

// ParseWebAddress's answer; for text that is no such address, the way the fetcher has always
// taken it apart: everything after the first seven characters up to the first "/" is the host
// (which then fails to resolve), port 80.
WebAddress ReadWebAddress(const std::string& url);

// Resolves `reference` (absolute, "//host/…", "/path", "path" or "?query") against `base` as
// RFC 3986 section 5.2 does, dropping any fragment. Nothing when `base` is no address or the
// result is no http or https address.
std::optional<std::string> ResolveWebAddress(const std::string& base, const std::string& reference);

}  // namespace dova
