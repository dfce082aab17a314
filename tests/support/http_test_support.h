// Shared pieces of the fetcher's socket tests: the standard requests, quick time-outs, and a
// download into a temporary file read back whole.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "online/http_fetcher.h"
#include "tests/support/fake_fetch_host.h"
#include "tests/support/loopback_http_server.h"

namespace dova {

// Time-outs short enough for tests; the deadline keeps its default unless a case shortens it.
inline FetchTimeouts QuickTimeouts() {
  FetchTimeouts t;
  t.sliceMs = 50;
  t.connectMs = 1000;
  t.silenceMs = 1000;
  return t;
}

// For tests whose servers do answer: a loaded machine may hold a thread for seconds, which
// must not pass for a silent server.
inline FetchTimeouts RoomyTimeouts() {
  FetchTimeouts t = QuickTimeouts();
  t.connectMs = 10000;
  t.silenceMs = 10000;
  return t;
}

// The request a direct GET of http://<address><path> sends.
inline std::string DirectRequest(const std::string& method, const std::string& address,
                                 const std::string& path) {
  return method + path + " HTTP/1.0\r\nHost: " + address +
         "\r\nUser-Agent: Dova Wallpaper Changer\r\nConnection: Close\r\n\r\n";
}

// `settings` with the proxy switched off / on.
inline ConnectionSettings Direct(ConnectionSettings settings) {
  settings.useProxy = false;
  return settings;
}
inline ConnectionSettings ThroughProxy(ConnectionSettings settings) {
  settings.useProxy = true;
  return settings;
}

// A request of `text` to connectHost:port, as a scripted case sends it.
inline HttpRequest RawRequest(const std::string& connectHost, std::uint16_t port,
                              const std::string& text) {
  HttpRequest request;
  request.endpoint.connectHost = connectHost;
  request.endpoint.connectPort = port;
  request.text = text;
  return request;
}

// A text exchange's outcome in one value to compare: the text on success, else one of these.
inline const std::string kConnectFailed = "<connect failed>";
inline const std::string kSocketFailed = "<socket failed>";
inline std::string Outcome(const TextResponse& response) {
  switch (response.result) {
    case FetchResult::Success:
      return response.text;
    case FetchResult::ConnectFailed:
      return kConnectFailed;
    case FetchResult::SocketFailed:
      return kSocketFailed;
  }
  return "<unknown>";
}

struct Download {
  FetchResult result = FetchResult::Success;
  int status = -1;
  bool cutAtLimit = false;
  std::string bytes;  // what the fetcher appended to the file
};

// Runs `fetch` into a temporary file and reads back what it appended.
template <typename Fetch>
Download DownloadWith(Fetch fetch) {
  Download d;
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return d;
  const FileResponse response = fetch(file);
  d.result = response.result;
  d.status = response.httpStatus;
  d.cutAtLimit = response.cutAtLimit;
  std::rewind(file);
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) d.bytes.append(buffer, n);
  std::fclose(file);
  return d;
}

inline Download DownloadToFile(FetchHost& host, const ConnectionSettings& settings,
                               const HttpRequest& request, long long limit,
                               const FetchTimeouts& timeouts) {
  return DownloadWith([&](std::FILE* file) {
    return SendRequestToFile(host, request, settings, limit, file, timeouts);
  });
}

class Stopwatch {
 public:
  long long Milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace dova
