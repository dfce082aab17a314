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

  lastData_ = clock.SteadyMilliseconds();
  deadline_ = lastData_ + deadlineMs;
  // The socket is non-blocking: a request the system cannot take at once waits in slices.
  const char* data = request.c_str();
  std::size_t left = std::strlen(data);
  while (left > 0) {
    const int n = socket_.Send(data, static_cast<int>(std::min<std::size_t>(left, 65536)));
    if (n > 0) {
      data += n;
      left -= static_cast<std::size_t>(n);
    } else if (n != TcpSocket::kWouldBlock || !WaitSlice(true, lastData_, timeouts_.silenceMs)) {
      return FetchResult::SocketFailed;
    }
  }
  return FetchResult::Success;
}

bool HttpExchange::WaitSlice(bool forWriting, std::uint64_t since, std::uint64_t limitMs) {
  const std::uint64_t now = host_.TransferClock().SteadyMilliseconds();
  if (now >= deadline_ || now - since >= limitMs) return false;
  const std::uint64_t left = std::min<std::uint64_t>(limitMs - (now - since), deadline_ - now);
  const unsigned slice = static_cast<unsigned>(std::min<std::uint64_t>(timeouts_.sliceMs, left));
  const WaitResult r = forWriting ? socket_.WaitWritable(slice) : socket_.WaitReadable(slice);
  if (r == WaitResult::Failed) return false;
  if (r == WaitResult::TimedOut) PumpMessages(host_);
  return true;
}

int HttpExchange::Receive(char* buffer, int count) {
  // Receiving first and waiting only when nothing is there saves a select() per chunk.
  for (;;) {
    if (host_.TransferClock().SteadyMilliseconds() >= deadline_) return -1;
    const int n = socket_.Receive(buffer, count);
    if (n > 0) {
      lastData_ = host_.TransferClock().SteadyMilliseconds();
      return n;
    }
    if (n != TcpSocket::kWouldBlock) return n == 0 ? 0 : -1;
    if (!WaitSlice(false, lastData_, timeouts_.silenceMs)) return -1;
  }
}

}  // namespace dova
