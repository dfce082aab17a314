// The HTTPS mode of http_bench, in the Windows build where the TLS sessions are: the time of a
// TLS handshake through Schannel and the speed of a download over TLS from a loopback server
// (tests/support/https_test_server.py), written to a file as it comes. bench/http_bench_https.sh
// runs it under Wine beside curl against the same server. Prints figures only:
// "handshake_ms_median=… handshake_ms_best=… download_mb_s=…" (best of the downloads), after
// a first session that is not counted.
//
//   http_bench.exe ADDRESS HOST PATH BODY_BYTES HANDSHAKES DOWNLOADS
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/tls_stream.h"
#include "tests/support/tcp_byte_stream.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned kTimeoutMs = 10000;
constexpr int kBlock = 64 * 1024;  // the fetcher's receive block
const char kFile[] = "http_bench_https.bin";

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Milliseconds of one handshake after the TCP connection; -1 when it failed.
double Handshake(const char* address, const char* host) {
  dova::testing::TcpByteStream transport(kTimeoutMs);
  if (!transport.Connect(address, 443)) return -1;
  const auto start = Clock::now();
  const dova::TlsSession session = dova::StartTls(transport, host);
  const double ms = Seconds(start) * 1000;
  if (!session.stream) std::fprintf(stderr, "handshake failed: %s\n", session.detail.c_str());
  return session.stream ? ms : -1;
}

// Seconds of one download of `path` into a file, connection and handshake included; -1 when
// it failed or did not end in close_notify after the whole body.
double Download(const char* address, const char* host, const char* path, long long bodyBytes) {
  const auto start = Clock::now();
  dova::testing::TcpByteStream transport(kTimeoutMs);
  if (!transport.Connect(address, 443)) return -1;
  dova::TlsSession session = dova::StartTls(transport, host);
  if (!session.stream) return -1;
  const std::string request =
      std::string("GET ") + path + " HTTP/1.0\r\nHost: " + host + "\r\nConnection: Close\r\n\r\n";
  if (!session.stream->SendAll(request.data(), request.size())) return -1;
  std::FILE* file = std::fopen(kFile, "wb");
  if (file == nullptr) return -1;
  std::setvbuf(file, nullptr, _IOFBF, 1 << 20);
  std::vector<char> block(kBlock);
  long long total = 0;
  int n;
  while ((n = session.stream->Receive(block.data(), kBlock)) > 0) {
    std::fwrite(block.data(), 1, static_cast<std::size_t>(n), file);
    total += n;
  }
  std::fclose(file);
  const double seconds = Seconds(start);
  std::remove(kFile);
  return n == 0 && total > bodyBytes ? seconds : -1;  // the body and its header
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: http_bench ADDRESS HOST PATH BODY_BYTES HANDSHAKES DOWNLOADS\n");
    return 2;
  }
  const char* address = argv[1];
  const char* host = argv[2];
  const long long bodyBytes = std::atoll(argv[4]);

  // The first session of a process also loads Schannel and the root store: not counted.
  if (Handshake(address, host) < 0) return 1;
  std::vector<double> handshakes;
  for (int i = std::atoi(argv[5]); i > 0; --i) {
    handshakes.push_back(Handshake(address, host));
    if (handshakes.back() < 0) return 1;
  }
  std::sort(handshakes.begin(), handshakes.end());
  if (!handshakes.empty())
    std::printf("handshake_ms_median=%.2f handshake_ms_best=%.2f\n",
                handshakes[handshakes.size() / 2], handshakes.front());

  double best = 1e300;
  for (int i = std::atoi(argv[6]); i > 0; --i) {
    const double seconds = Download(address, host, argv[3], bodyBytes);
    if (seconds < 0) {
      std::fprintf(stderr, "download failed\n");
      return 1;
    }
    best = std::min(best, seconds);
  }
  if (best < 1e300) std::printf("download_mb_s=%.1f\n", bodyBytes / best / (1024.0 * 1024.0));
  return 0;
}
