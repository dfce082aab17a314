// The fetcher's two receiving modes: into a text and into an open file.
#include "online/http_transfer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "online/picture_response.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "text/number_text.h"

namespace dova {

namespace {

constexpr int kTextBufferSize = 4096;   // at most 4095 bytes per receive: a zero always follows
constexpr int kPacedBufferSize = 1024;  // with the speed limit: at most 1023 bytes per chunk
constexpr int kFileBufferSize = 65536;  // without it: as much as the socket has, up to 64 KiB
constexpr std::size_t kStatusLineBytes = 256;
// A head longer than this is no redirect we follow: its bytes go to the file as they are.
constexpr std::size_t kRedirectHeadBytes = 16384;

int ChunkSize(long long room, int bufferSize) {
  return static_cast<int>(std::clamp<long long>(room, 0, bufferSize - 1));
}

template <typename Response>
Response Failed(FetchResult result, const HttpExchange& exchange) {
  Response response;
  response.result = result;
  response.failure = exchange.Failure();
  response.detail = exchange.FailureDetail();
  return response;
}

}  // namespace

TextResponse ExchangeText(FetchHost& host, const HttpRequest& request, long long limit,
                          const FetchTimeouts& timeouts, TransferDeadline& deadline) {
  HttpExchange exchange(host, timeouts);
  const FetchResult opened =
      exchange.Open(request.endpoint, request.text,
                    TransferDeadlineMs(timeouts, limit, timeouts.minimumRate), deadline);
  if (opened != FetchResult::Success) return Failed<TextResponse>(opened, exchange);

  std::vector<char> buffer(kTextBufferSize);
  std::string result;
  long long room = limit;
  for (;;) {
    std::fill(buffer.begin(), buffer.end(), '\0');
    const int n = exchange.Receive(buffer.data(), ChunkSize(room, kTextBufferSize));
    if (n < 0) return Failed<TextResponse>(FetchResult::SocketFailed, exchange);
    PumpMessages(host);
    if (n == 0) break;
    // A chunk is kept only while it is shorter than the room left, and only up to its first
    // zero byte; everything beyond the limit is read and dropped until the server closes.
    if (n < room) {
      result.append(buffer.data(), strnlen(buffer.data(), static_cast<std::size_t>(n)));
      room -= n;
    }
  }
  TextResponse response;
  response.text = result;
  return response;
}

TextResponse SendRequestForText(FetchHost& host, const HttpRequest& request, long long limit,
                                const FetchTimeouts& timeouts) {
  TransferDeadline deadline;
  return ExchangeText(host, request, limit, timeouts, deadline);
}

FileResponse ExchangeToFile(FetchHost& host, const HttpRequest& request,
                            const ConnectionSettings& settings, long long limit, std::FILE* file,
                            const FetchTimeouts& timeouts, TransferDeadline& deadline,
                            std::string* redirectTo) {
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
  if (redirectTo) redirectTo->clear();

  Clock& clock = host.TransferClock();
  HttpExchange exchange(host, timeouts);
  const FetchResult opened = exchange.Open(request.endpoint, request.text,
                                           TransferDeadlineMs(timeouts, limit, rate), deadline);
  if (opened != FetchResult::Success) return Failed<FileResponse>(opened, exchange);

  std::vector<char> buffer(static_cast<std::size_t>(bufferSize));
  std::string statusLine;
  // While a redirect is possible, the head is held back until it is whole.
  bool holdingHead = redirectTo != nullptr;
  std::string head;
  long long room = limit;
  long long total = 0;
  FileResponse response;
  for (;;) {
    const std::uint64_t chunkStart = clock.SteadyMilliseconds();
    // A head held back may be a redirect, which the limit does not count.
    const int n =
        exchange.Receive(buffer.data(), ChunkSize(holdingHead ? bufferSize : room, bufferSize));
    if (n < 0) {
      response.result = FetchResult::SocketFailed;
      break;
    }
    total += n;
    host.ShowProgress(host.Phrase("downloadedbytes") + " " + std::to_string(total));
    if (statusLine.size() < kStatusLineBytes)
      statusLine.append(buffer.data(), std::min<std::size_t>(static_cast<std::size_t>(n),
                                                             kStatusLineBytes - statusLine.size()));
    const char* keep = buffer.data();
    long long count = n;
    if (holdingHead) {
      head.append(buffer.data(), static_cast<std::size_t>(n));
      const bool whole = HeaderEnd(head) != std::string::npos;
      if (whole) {
        if (std::optional<std::string> location = RedirectLocation(head)) {
          *redirectTo = *location;
          break;
        }
      }
      holdingHead = !whole && n > 0 && head.size() < kRedirectHeadBytes;
      keep = head.data();
      count = holdingHead ? 0 : static_cast<long long>(head.size());
    }
    if (count > 0 && count >= room) {
      // More than the limit: what is kept would be a cut picture, so the rest is not waited for.
      response.cutAtLimit = true;
      break;
    }
    if (count > 0 && std::fwrite(keep, 1, static_cast<std::size_t>(count), file) !=
                         static_cast<std::size_t>(count)) {
      // A picture cut by a full disk must not pass for a complete download.
      response.result = FetchResult::SocketFailed;
      break;
    }
    room -= count;
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
  response.httpStatus = ParseHttpStatus(statusLine);
  return response;
}

FileResponse SendRequestToFile(FetchHost& host, const HttpRequest& request,
                               const ConnectionSettings& settings, long long limit, std::FILE* file,
                               const FetchTimeouts& timeouts) {
  TransferDeadline deadline;
  return ExchangeToFile(host, request, settings, limit, file, timeouts, deadline, nullptr);
}

}  // namespace dova
