// URL splitting, the request texts and the proxy credentials of the HTTP fetcher.
#include <cctype>

#include "online/base64.h"
#include "online/http_fetcher.h"
#include "online/web_address.h"
#include "platform/code_page.h"
#include "platform/error.h"
#include "text/number_text.h"

namespace dova {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Control bytes shown as #13, so that the error box shows where they are without breaking.
std::string Visible(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (IsControl(c))
      out += "#" + std::to_string(c);
    else
      out += static_cast<char>(c);
  }
  return out;
}

// A CR or LF would end the request line or a header early and let the rest of the text act as
// headers of its own; a NUL would cut the request.
void RefuseControlCharacters(const std::string& text) {
  for (unsigned char c : text)
    if (IsControl(c)) throw Error("'" + Visible(text) + "' contains a control character");
}

std::uint16_t ReadPort(const std::string& text) {
  const int port = ReadDecimalInteger(text);
  if (port < 1 || port > 65535) throw Error("'" + text + "' is not a valid port number");
  return static_cast<std::uint16_t>(port);
}

}  // namespace

void SplitHttpUrl(const std::string& url, std::string& host, std::string& path) {
  const WebAddress address = SplitWebAddress(url);
  host = address.host;
  path = address.RequestPath();
}

long long MaximumPictureBytes(const ConnectionSettings& settings) {
  const long long kilobytes = ReadDecimalInteger(settings.maximumSize);
  if (kilobytes == 0) return 1073741824LL;
  // The list holds positive sizes only; a negative one could only come from a damaged design.
  if (kilobytes < 0) throw Error("'" + settings.maximumSize + "' is not a valid file size");
  return kilobytes * 1024;
}

std::string ProxyAuthorizationLines(const ConnectionSettings& settings) {
  if (!settings.useProxy || !settings.proxyNeedsLogin) return std::string();
  // RFC 7617 Basic credentials. Proxies set up for the earlier versions of the program know
  // them in the system's ANSI code page, which is what those versions sent; credentials that
  // do not fit it go as UTF-8, the charset RFC 7617 names.
  const std::string credentials = settings.login + ":" + settings.password;
  std::string bytes;
  if (!Utf8ToCodePage(credentials, AnsiCodePage(), bytes)) bytes = credentials;
  return "Proxy-Authorization: Basic " + Base64EncodeText(bytes) +
         "\r\nProxy-Connection: Close\r\n";
}

HttpRequest BuildHttpRequest(const ConnectionSettings& settings, const std::string& method,
                             const std::string& url) {
  RefuseControlCharacters(url);
  HttpRequest request;
  HttpEndpoint& endpoint = request.endpoint;
  const WebAddress address = SplitWebAddress(url);
  endpoint.hostHeader = address.authority;
  if (settings.useProxy) {
    RefuseControlCharacters(settings.proxyServer);
    endpoint.target = address.AbsoluteUri();
    endpoint.connectHost = settings.proxyServer;
    endpoint.connectPort = ReadPort(settings.proxyPort);
  } else {
    endpoint.target = address.RequestPath();
    endpoint.connectHost = address.host;
    endpoint.connectPort = address.port;
  }
  request.text = method + endpoint.target + " HTTP/1.0\r\nHost: " + endpoint.hostHeader +
                 "\r\nUser-Agent: Dova Wallpaper Changer\r\n" + ProxyAuthorizationLines(settings) +
                 "Connection: Close\r\n\r\n";
  return request;
}

int ParseHttpStatus(const std::string& responseStart) {
  // "HTTP/" digits "." digits, one or more blanks, three digits, then the end, a blank or a
  // line break.
  const std::string& s = responseStart;
  if (s.compare(0, 5, "HTTP/") != 0) return 0;
  std::size_t i = 5;
  auto digits = [&s, &i]() {
    const std::size_t start = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    return i - start;
  };
  if (digits() == 0 || i >= s.size() || s[i++] != '.' || digits() == 0) return 0;
  const std::size_t blanks = i;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == blanks) return 0;
  const std::size_t codeStart = i;
  if (digits() != 3) return 0;
  if (i < s.size() && s[i] != ' ' && s[i] != '\r' && s[i] != '\n') return 0;
  return std::stoi(s.substr(codeStart, 3));
}

}  // namespace dova
