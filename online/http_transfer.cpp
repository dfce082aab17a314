// The fetcher's two receiving modes: into a text and into an open file.
#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "online/http_exchange.h"
#include "online/http_fetcher.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "text/number_text.h"

namespace dova {

namespace {

constexpr int kTextBufferSize = 4096;   // at most 4095 bytes per receive: a zero always follows
constexpr int kPacedBufferSize = 1024;  // with the speed limit: at most 1023 bytes per chunk
constexpr int kFileBufferSize = 65536;  // without it: as much as the socket has, up to 64 KiB
constexpr std::size_t kStatusLineBytes = 256;

int ChunkSize(long long room, int bufferSize) {
  return static_cast<int>(std::clamp<long long>(room, 0, bufferSize - 1));
}

}  // namespace

TextResponse SendRequestForText(FetchHost& host, const HttpRequest& request, long long limit,
                                const FetchTimeouts& timeouts) {
  HttpExchange exchange(host, timeouts);
  const FetchResult opened = exchange.Open(
      request.endpoint, request.text, TransferDeadlineMs(timeouts, limit, timeouts.minimumRate));
  if (opened != FetchResult::Success) return {opened, std::string()};

  std::vector<char> buffer(kTextBufferSize);
  std::string result;
  long long room = limit;
  for (;;) {
    std::fill(buffer.begin(), buffer.end(), '\0');
    const int n = exchange.Receive(buffer.data(), ChunkSize(room, kTextBufferSize));
    if (n < 0) return {FetchResult::SocketFailed, std::string()};
    PumpMessages(host);
    if (n == 0) break;
    // A chunk is kept only while it is shorter than the room left, and only up to its first
    // zero byte; everything beyond the limit is read and dropped until the server closes.
    if (n < room) {
      result.append(buffer.data(), strnlen(buffer.data(), static_cast<std::size_t>(n)));
      room -= n;
    }
  }
  return {FetchResult::Success, result};
}

FileResponse SendRequestToFile(FetchHost& host, const HttpRequest& request,
                               const ConnectionSettings& settings, long long limit, std::FILE* file,
                               const FetchTimeouts& timeouts) {
  // The speed text is read even when the limit is off: an unreadable one is an error either way.
  const int kilobytesPerSecond = ReadDecimalInteger(settings.speed);
  const bool limitSpeed = settings.limitSpeed;
  if (limitSpeed && kilobytesPerSecond <= 0)
    throw Error("'" + settings.speed + "' is not a valid speed");
  // One chunk per 1/k seconds; the wait counts from the start of each chunk.
  const double stepMs = limitSpeed ? 1000.0 / kilobytesPerSecond : 0.0;
  double rate = timeouts.minimumRate;
  if (limitSpeed) rate = std::min(rate, (kPacedBufferSize - 1) * kilobytesPerSecond / 2.0);
  const int bufferSize = limitSpeed ? kPacedBufferSize : kFileBufferSize;

  Clock& clock = host.TransferClock();
  HttpExchange exchange(host, timeouts);
  const FetchResult opened =
      exchange.Open(request.endpoint, request.text, TransferDeadlineMs(timeouts, limit, rate));
  if (opened != FetchResult::Success) return {opened, 0};

  std::vector<char> buffer(static_cast<std::size_t>(bufferSize));
  std::string statusLine;
  long long room = limit;
  long long total = 0;
  FetchResult result = FetchResult::Success;
  bool cutAtLimit = false;
  for (;;) {
    const std::uint64_t chunkStart = clock.SteadyMilliseconds();
    const int n = exchange.Receive(buffer.data(), ChunkSize(room, bufferSize));
    if (n < 0) {
      result = FetchResult::SocketFailed;
      break;
    }
    total += n;
    host.ShowProgress(host.Phrase("downloadedbytes") + " " + std::to_string(total));
    if (statusLine.size() < kStatusLineBytes)
      statusLine.append(buffer.data(), std::min<std::size_t>(static_cast<std::size_t>(n),
                                                             kStatusLineBytes - statusLine.size()));
    if (n > 0 && n >= room) {
      // More than the limit: what is kept would be a cut picture, so the rest is not waited for.
      cutAtLimit = true;
      break;
    }
    if (n > 0 && std::fwrite(buffer.data(), 1, static_cast<std::size_t>(n), file) !=
                     static_cast<std::size_t>(n)) {
      // A picture cut by a full disk must not pass for a complete download.
      result = FetchResult::SocketFailed;
      break;
    }
    room -= n;
    PumpMessages(host);
    if (limitSpeed) {
      std::uint64_t now;
      do {
        clock.Sleep(10);
        PumpMessages(host);
        now = clock.SteadyMilliseconds();
      } while (static_cast<double>(now - chunkStart) < stepMs);
    }
    if (n == 0) break;
  }
  return {result, ParseHttpStatus(statusLine), cutAtLimit};
}

}  // namespace dova
