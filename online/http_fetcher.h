// The program's own HTTP/1.0 client: one TCP connection per request, sent directly to port 80
// or through an HTTP proxy (optionally with Basic credentials), read until the server closes.
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

// Where one request goes. Built per request by BuildHttpRequest.
struct HttpEndpoint {
  std::string connectHost;  // resolved by name: origin host, or the proxy server text
  std::uint16_t connectPort = 80;
  std::string target;      // request target: path, or absolute URI through a proxy
  std::string hostHeader;  // always the origin host of the URL
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

// Splits "http://host/path": host = everything after the first seven characters up to the first
// "/", path = the rest from that "/" on, or "/" when there is none. The first seven characters
// are not checked.
void SplitHttpUrl(const std::string& url, std::string& host, std::string& path);

// Builds the request for `method` ("GET " or "HEAD ", with the blank) and `url`, directly to port
// 80 of the URL's host or, with `settings.useProxy`, to the proxy server and port with an
// absolute "http://" target. Credential lines come from ProxyAuthorizationLines.
// Throws dova::Error when the proxy port is not a decimal number in 1..65535, and when the URL
// or the proxy server text contains a control character (a byte below 0x20, or 0x7F), which
// would otherwise split the request line or the Host header.
HttpRequest BuildHttpRequest(const ConnectionSettings& settings, const std::string& method,
                             const std::string& url);

// "Proxy-Authorization: Basic <base64 of login:password>\r\nProxy-Connection: Close\r\n" when
// both the proxy and its login option are on; otherwise the empty text, so that credentials
// never go to an origin server.
std::string ProxyAuthorizationLines(const ConnectionSettings& settings);

// The status code of a response's first line ("HTTP/1.0 404 Not Found" gives 404), 0 when the
// text does not begin with an HTTP status line.
int ParseHttpStatus(const std::string& responseStart);

struct TextResponse {
  FetchResult result = FetchResult::Success;
  std::string text;  // the response as it came, on success only
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

}  // namespace dova
