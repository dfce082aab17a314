// Download speed of the HTTP fetcher on loopback, beside curl, and the accuracy of its speed
// limit. Starts its own server on port 80 of 127.0.33.1 (run as root). Prints figures only.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "online/http_fetcher.h"
#include "tests/support/fake_fetch_host.h"
#include "tests/support/loopback_http_server.h"

namespace {

using dova::FakeFetchHost;
using dova::LoopbackHttpServer;

const char kAddress[] = "127.0.33.1";
const char kFile[] = "/tmp/dova_http_bench.bin";
const std::size_t kBigSize = 50u * 1024u * 1024u;
const std::size_t kSmallSize = 100u * 1024u;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

dova::HttpRequest Request(const std::string& path) {
  return dova::BuildHttpRequest(dova::ConnectionSettings(), "GET ",
                                "http://" + std::string(kAddress) + path);
}

// Bytes written and seconds taken by one download into kFile; -1 bytes on failure.
struct Run {
  long long bytes = -1;
  double seconds = 0;
};

Run Fetch(FakeFetchHost& host, const std::string& path, long long limit) {
  Run run;
  std::FILE* file = std::fopen(kFile, "wb");
  if (file == nullptr) return run;
  const auto start = std::chrono::steady_clock::now();
  const dova::FileResponse response =
      dova::SendRequestToFile(host, Request(path), host.settings, limit, file);
  run.seconds = Seconds(start);
  run.bytes = response.result == dova::FetchResult::Success && response.httpStatus == 200
                  ? std::ftell(file)
                  : -1;
  std::fclose(file);
  return run;
}

Run Curl(const std::string& path) {
  Run run;
  const std::string command =
      "curl -s -o " + std::string(kFile) + " -w '%{size_download}' http://" + kAddress + path;
  const auto start = std::chrono::steady_clock::now();
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char out[64] = {0};
  const bool read = std::fgets(out, sizeof out, pipe) != nullptr;
  const int rc = pclose(pipe);
  run.seconds = Seconds(start);
  if (read && rc == 0) run.bytes = std::atoll(out);
  return run;
}

double MegabytesPerSecond(const Run& run) { return run.bytes / run.seconds / (1024.0 * 1024.0); }

}  // namespace

int main() {
  const std::string big(kBigSize, 'p');
  const std::string small(kSmallSize, 's');
  auto response = [](const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
  };
  const std::string bigResponse = response(big);
  const std::string smallResponse = response(small);
  LoopbackHttpServer server(kAddress, 80, [&](LoopbackHttpServer::Connection& c) {
    c.Send(c.Request().rfind("GET /big ", 0) == 0 ? bigResponse : smallResponse);
  });
  if (!server.Listening()) {
    std::fprintf(stderr, "cannot listen on %s:80 (root needed)\n", kAddress);
    return 1;
  }

  FakeFetchHost host;
  host.recordProgress = false;
  host.settings.speed = "10";

  // 1. Unlimited download of 50 MB, best of three, beside curl writing the same file.
  const long long bigLimit = 64LL * 1024 * 1024;
  double best = 0, bestCurl = 0;
  for (int i = 0; i < 3; ++i) {
    const Run ours = Fetch(host, "/big", bigLimit);
    const Run curl = Curl("/big");
    if (ours.bytes != static_cast<long long>(bigResponse.size())) {
      std::fprintf(stderr, "fetcher download failed (%lld bytes)\n", ours.bytes);
      return 1;
    }
    if (ours.seconds > 0 && MegabytesPerSecond(ours) > best) best = MegabytesPerSecond(ours);
    if (curl.bytes == static_cast<long long>(big.size()) && MegabytesPerSecond(curl) > bestCurl)
      bestCurl = MegabytesPerSecond(curl);
  }
  std::printf("50 MB over loopback, no speed limit (best of 3):\n");
  std::printf("  fetcher (64 KiB blocks):      %8.1f MB/s\n", best);
  if (bestCurl > 0) {
    std::printf("  curl:                         %8.1f MB/s\n", bestCurl);
    std::printf("  ratio fetcher / curl:         %8.3f\n", best / bestCurl);
  } else {
    std::printf("  curl: not available\n");
  }

  // 2. Speed limit of 10 KB/s on a 100 KB picture: at most 1023 bytes per 100 ms.
  host.settings.limitSpeed = true;
  host.settings.speed = "10";
  const Run limited = Fetch(host, "/small", 1024 * 1024);
  if (limited.bytes != static_cast<long long>(smallResponse.size())) {
    std::fprintf(stderr, "limited download failed\n");
    return 1;
  }
  const double rate = limited.bytes / limited.seconds;
  const double ceiling = 1023.0 * 10;
  std::printf("100 KB at the 10 KB/s limit:\n");
  std::printf("  %lld bytes in %.3f s = %.0f bytes/s, %.1f%% of %.0f bytes/s (%s)\n", limited.bytes,
              limited.seconds, rate, 100.0 * rate / ceiling, ceiling,
              rate >= 0.9 * ceiling && rate <= ceiling ? "within 90-100%" : "OUTSIDE 90-100%");
  std::remove(kFile);
  return 0;
}
