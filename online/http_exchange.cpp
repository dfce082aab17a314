#include "online/http_exchange.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"

namespace dova {

namespace {

bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
  });
}

}  // namespace

void PumpMessages(FetchHost& host) {
  host.ProcessMessages();
  if (host.WindowClosed()) host.Terminate();
}

std::uint64_t TransferDeadlineMs(const FetchTimeouts& timeouts, long long limit, double rate) {
  if (rate < 1) rate = 1;
  const double extra = static_cast<double>(std::max(limit, 0LL)) * 1000.0 / rate;
  return timeouts.baseDeadlineMs + static_cast<std::uint64_t>(extra);
}

HttpExchange::HttpExchange(FetchHost& host, const FetchTimeouts& timeouts)
    : host_(host), timeouts_(timeouts) {
  if (timeouts_.sliceMs == 0) timeouts_.sliceMs = 1;
}

FetchResult HttpExchange::Open(const std::string& connectHost, std::uint16_t port,
                               const std::string& request, std::uint64_t deadlineMs) {
  if (!library_.Started()) return FetchResult::ConnectFailed;
  Ipv4Address address;
  if (HasControlCharacter(connectHost) || !ResolveHost(connectHost, address))
    return FetchResult::ConnectFailed;
  if (!socket_.Open()) return FetchResult::SocketFailed;
  if (!socket_.StartConnect(address, port)) return FetchResult::ConnectFailed;

  Clock& clock = host_.TransferClock();
  const std::uint64_t started = clock.SteadyMilliseconds();
  for (;;) {
    const std::uint64_t waited = clock.SteadyMilliseconds() - started;
    if (waited >= timeouts_.connectMs) return FetchResult::ConnectFailed;
    const unsigned slice = static_cast<unsigned>(
        std::min<std::uint64_t>(timeouts_.sliceMs, timeouts_.connectMs - waited));
    const WaitResult r = socket_.WaitConnected(slice);
    if (r == WaitResult::Ready) break;
    if (r == WaitResult::Failed) return FetchResult::ConnectFailed;
    PumpMessages(host_);
  }

  if (!socket_.SendAll(request.c_str(), std::strlen(request.c_str())))
    return FetchResult::SocketFailed;
  lastData_ = clock.SteadyMilliseconds();
  deadline_ = lastData_ + deadlineMs;
  return FetchResult::Success;
}

int HttpExchange::Receive(char* buffer, int count) {
  Clock& clock = host_.TransferClock();
  for (;;) {
    const std::uint64_t now = clock.SteadyMilliseconds();
    if (now >= deadline_) return -1;
    const std::uint64_t silent = now - lastData_;
    if (silent >= timeouts_.silenceMs) return -1;
    const std::uint64_t left = std::min<std::uint64_t>(deadline_ - now, timeouts_.silenceMs - silent);
    const unsigned slice = static_cast<unsigned>(std::min<std::uint64_t>(timeouts_.sliceMs, left));
    const WaitResult r = socket_.WaitReadable(slice);
    if (r == WaitResult::Failed) return -1;
    if (r == WaitResult::Ready) {
      const int n = socket_.Receive(buffer, count);
      if (n > 0) lastData_ = clock.SteadyMilliseconds();
      return n < 0 ? -1 : n;
    }
    PumpMessages(host_);
  }
}

}  // namespace dova
