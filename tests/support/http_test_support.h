// Shared pieces of the fetcher's socket tests: the standard requests, quick time-outs, and a
// download into a temporary file read back whole.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "tests/support/fake_fetch_host.h"
#include "online/http_fetcher.h"
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

// The request a direct GET of http://<address><path> sends.
inline std::string DirectRequest(const std::string& method, const std::string& address,
                                 const std::string& path) {
  return method + path + " HTTP/1.0\r\nHost: " + address +
         "\r\nUser-Agent: Dova Wallpaper Changer\r\nConnection: Close\r\n\r\n";
}

struct Download {
  int result = -1;
  int status = -1;
  std::string bytes;  // what the fetcher appended to the file
};

inline Download DownloadToFile(FetchHost& host, const std::string& connectHost,
                               std::uint16_t port, const std::string& request, long long limit,
                               const FetchTimeouts& timeouts) {
  Download d;
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return d;
  d.result = SendRequestToFile(host, connectHost, port, request, limit, file, &d.status, timeouts);
  std::rewind(file);
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) d.bytes.append(buffer, n);
  std::fclose(file);
  return d;
}

class Stopwatch {
 public:
  long long Milliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now() - start_)
        .count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace dova
