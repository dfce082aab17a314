// The addresses the fetcher requests, taken apart in one place: the scheme, the host that is
// looked up, the port, and the path with its query.
#pragma once

#include <cstdint>
#include <string>

namespace dova {

struct WebAddress {
  std::string scheme = "http";  // lower case
  std::string authority;        // host (and port) as written: the Host header
  std::string host;             // the name looked up
  std::uint16_t port = 80;
  std::string path;  // from the first "/" after the authority on, the query included; may be ""

  // The path to request: "/" when the address names none.
  std::string RequestPath() const { return path.empty() ? "/" : path; }
  // The address as a proxy is asked for it: the scheme in lower case, then the rest as written.
  std::string AbsoluteUri() const { return scheme + "://" + authority + path; }
};

// Takes "http://host/path" apart: everything after the first seven characters up to the first
// "/" is the authority, used both as the host and as the Host header; the port is 80. The first
// seven characters are not checked (HasHttpScheme does that).
WebAddress SplitWebAddress(const std::string& url);

// True when `url` begins with "http://" in any case and names something after it.
bool HasHttpScheme(const std::string& url);

}  // namespace dova
