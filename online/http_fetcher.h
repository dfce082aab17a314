// The program's own HTTP/1.0 client: one connection per request, http or https (TLS through
// the system's own implementation), sent directly or through an HTTP proxy (optionally with
// Basic credentials; https through a CONNECT tunnel), read until the server ends the response.
// Redirects are followed by FetchText and FetchToFile.
// Two receiving modes: into a text (the picture-address page, the HEAD answer) and into an open
// file (the picture, with a byte counter in the status bar and an optional speed limit).
//
// Everything runs on the GUI thread. The receive loops keep the window alive by pumping the
// message queue between receive calls and while they wait for data; when the main window has
// been closed meanwhile, each pump is followed by a request to terminate the application (the
// loop itself goes on to its end).
//
// Expected failures are results, not exceptions: FetchResult codes. Only unreadable settings (a
// proxy port, speed or size text that is not a number) and unsafe addresses raise dova::Error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace dova {

class Clock;

enum class FetchResult : int {
  Success = 0,
  ConnectFailed = 1,  // library, name lookup, connect refused/unreachable, connect time-out
  SocketFailed = 4,   // no socket, send or receive error, silence or overall deadline passed
};

// Why an exchange failed, where the fetcher can name more than its FetchResult says.
enum class FetchFailure {
  None,
  ProxyLogin,                // the proxy refused the tunnel's login (407, or 401 from tinyproxy)
  TlsFailed,                 // no TLS session: the handshake failed, or the system has no TLS
  CertificateNotTrusted,     // the chain ends in no trusted root
  CertificateExpired,        // out of its validity period, or not yet valid
  CertificateWrongName,      // issued for another name
  CertificateRevoked,        //
  CertificateNotForServers,  // the leaf may not authenticate a server
  TooManyRedirects,          // more than kMaxRedirects
  RedirectToHttp,            // an https address sent us to an http one
};

constexpr int kMaxRedirects = 5;

// Where one request goes. Built per request by BuildHttpRequest.
struct HttpEndpoint {
  std::string connectHost;  // resolved by name: origin host, or the proxy server text
  std::uint16_t connectPort = 80;
  std::string target;      // request target: path, or absolute URI of http through a proxy
  std::string hostHeader;  // always the origin's host (and port) as the address has it
  // For https: the TLS session's server name, which the certificate must carry.
  bool tls = false;
  std::string tlsHost;
  // For https through a proxy: the CONNECT request that opens the tunnel (ConnectRequest).
  std::string tunnelRequest;
};

struct HttpRequest {
  HttpEndpoint endpoint;
  std::string text;  // the whole request, ending with the empty line
};

// The connection tab's controls, as texts where the control holds text. A run takes them once
// and every request of the run goes by them.
struct ConnectionSettings {
  bool useProxy = false;
  std::string proxyServer;  // resolved as a host name
  std::string proxyPort;    // read as a decimal integer, 1..65535
  bool proxyNeedsLogin = false;
  std::string login;  // UTF-8; sent in the ANSI code page when it fits
  std::string password;
  bool limitSpeed = false;
  std::string speed;        // kilobytes per second, read as a decimal integer
  std::string maximumSize;  // the picture's limit in kilobytes, "0" for 1 GiB
};

// The picture's byte limit: maximumSize times 1024, where 0 stands for 1073741824 bytes. Throws
// dova::Error when the text is empty, not a decimal number or negative.
long long MaximumPictureBytes(const ConnectionSettings& settings);

// Time-outs of one exchange. The defaults are the program's; tests shorten them.
//  - Connecting gives up after connectMs: ConnectFailed.
//  - A receive that waits longer than silenceMs for any byte ends the exchange: SocketFailed.
//  - The whole receiving part of an exchange must end within
//        baseDeadlineMs + limit * 1000 / rate   milliseconds,
//    where rate = minimumRate bytes per second, or, in file mode with the speed limit on,
//    the smaller of minimumRate and half the limited rate (1023 * k / 2 bytes per second).
//    An honest server delivers the limit long before that; one that trickles a byte now and
//    then, or sends without end, is cut off: SocketFailed.
//  - Waiting happens in select() slices of sliceMs, with the message queue pumped between them.
struct FetchTimeouts {
  unsigned sliceMs = 100;
  unsigned connectMs = 30000;
  unsigned silenceMs = 30000;
  unsigned baseDeadlineMs = 60000;
  unsigned minimumRate = 2048;
};

// What the fetcher needs of the main window. The daily update implements it over the form.
class FetchHost {
 public:
  virtual ~FetchHost() = default;
  // The connection tab's controls as they are now; a run asks once.
  virtual ConnectionSettings Settings() = 0;
  // Processes every pending window message, then returns.
  virtual void ProcessMessages() = 0;
  // True once the main window's close event has run.
  virtual bool WindowClosed() = 0;
  // Asks the message loop to end; returns at once.
  virtual void Terminate() = 0;
  // Sets the status bar text (not logged).
  virtual void ShowProgress(const std::string& statusText) = 0;
  // The language pack's phrase for a key; empty when absent.
  virtual std::string Phrase(const std::string& key) = 0;
  // Steady milliseconds and sleeping, for the speed limit and the time-outs.
  virtual Clock& TransferClock() = 0;
};

// Splits an address (ReadWebAddress): the host to look up, and the path to request.
void SplitHttpUrl(const std::string& url, std::string& host, std::string& path);

// The User-Agent of https requests: the program and its version.
std::string HttpsUserAgent();

// Builds the request for `method` ("GET " or "HEAD ", with the blank) and `url`, directly to the
// address's host and port or, with `settings.useProxy`, to the proxy server and port: http with
// an absolute "http://" target and the credential lines of ProxyAuthorizationLines, https
// through a tunnel (ConnectRequest) with the path as target and no credentials, which are the
// proxy's alone. http requests say "User-Agent: Dova Wallpaper Changer" as the program always
// has; https requests name the version too (HttpsUserAgent).
// Throws dova::Error when the proxy port is not a decimal number in 1..65535, and when the URL
// or the proxy server text contains a control character (a byte below 0x20, or 0x7F), which
// would otherwise split the request line or the Host header.
HttpRequest BuildHttpRequest(const ConnectionSettings& settings, const std::string& method,
                             const std::string& url);

// "Proxy-Authorization: Basic <base64 of login:password>\r\nProxy-Connection: Close\r\n" when
// both the proxy and its login option are on; otherwise the empty text, so that credentials
// never go to an origin server.
std::string ProxyAuthorizationLines(const ConnectionSettings& settings);

// "CONNECT host:port HTTP/1.0", the Host and User-Agent lines and, when the proxy needs a login,
// the Proxy-Authorization line; then the empty line.
std::string ConnectRequest(const ConnectionSettings& settings, const std::string& host,
                           std::uint16_t port);

// The status code of a response's first line ("HTTP/1.0 404 Not Found" gives 404), 0 when the
// text does not begin with an HTTP status line.
int ParseHttpStatus(const std::string& responseStart);

struct TextResponse {
  FetchResult result = FetchResult::Success;
  std::string text;                           // the response as it came, on success only
  FetchFailure failure = FetchFailure::None;  // on failure, when it has a name
  std::string detail;  // the system's words for a TLS failure, for the journal; may be empty
  // The address that gave this answer: FetchText's after its redirects, against which the
  // addresses a page names are read. Empty from SendRequestForText.
  std::string finalAddress;
};

// Sends `request` (up to its first zero byte) and collects the response as it came: status
// line, headers and body, keeping a chunk only while it is shorter than the room left (so the
// text stays below `limit`; a limit below 1 keeps nothing), each chunk cut at its first zero
// byte. Partial data of a failed exchange is dropped.
TextResponse SendRequestForText(FetchHost& host, const HttpRequest& request, long long limit,
                                const FetchTimeouts& timeouts = FetchTimeouts());

struct FileResponse {
  FetchResult result = FetchResult::Success;
  int httpStatus = 0;  // ParseHttpStatus of the response's first line, 0 when none arrived
  // The response reached the limit: bytes were received and not written, so the file holds
  // less than the server sent. Exact to the byte: a response of limit - 1 bytes is whole.
  bool cutAtLimit = false;
  FetchFailure failure = FetchFailure::None;  // on failure, when it has a name
  std::string detail;  // the system's words for a TLS failure, for the journal; may be empty
};

// Sends `request` and appends the response, header included, to `file` (opened for binary
// writing and closed by the caller), keeping a chunk only while it is shorter than the room
// left. Without the speed limit it receives in blocks of 64 KiB; with it, in the limit's
// chunks of at most 1023 bytes, one per 1/k seconds. Shows Phrase("downloadedbytes") + " " + bytes
// received after every receive call and paces the chunks with the settings' speed limit when it is
// on. SocketFailed also when the file cannot be written. Throws dova::Error, before connecting,
// when the speed text is not a decimal number or, with the limit on, not above 0.
FileResponse SendRequestToFile(FetchHost& host, const HttpRequest& request,
                               const ConnectionSettings& settings, long long limit, std::FILE* file,
                               const FetchTimeouts& timeouts = FetchTimeouts());

// SendRequestForText and SendRequestToFile for `url`, following redirects: a 301, 302, 303, 307
// or 308 answer with a Location is not kept; its Location, resolved against the address that
// answered, is asked next with the same method, at most kMaxRedirects times (TooManyRedirects
// beyond), never from https to http (RedirectToHttp). Every hop counts against the same
// deadline; `limit` applies to each answer, and only the last one is kept. Throws dova::Error as
// BuildHttpRequest and SendRequestToFile do.
TextResponse FetchText(FetchHost& host, const ConnectionSettings& settings,
                       const std::string& method, const std::string& url, long long limit,
                       const FetchTimeouts& timeouts = FetchTimeouts());
FileResponse FetchToFile(FetchHost& host, const ConnectionSettings& settings,
                         const std::string& url, long long limit, std::FILE* file,
                         const FetchTimeouts& timeouts = FetchTimeouts());

}  // namespace dova
