#include "online/tcp_stream.h"

#include <algorithm>

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

TcpStream::TcpStream(FetchHost& host, const FetchTimeouts& timeouts)
    : host_(host), timeouts_(timeouts) {
  if (timeouts_.sliceMs == 0) timeouts_.sliceMs = 1;
}

FetchResult TcpStream::Connect(const std::string& hostName, std::uint16_t port) {
  if (!library_.Started()) return FetchResult::ConnectFailed;
  Ipv4Address address;
  if (HasControlCharacter(hostName) || !ResolveHost(hostName, address))
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
  lastProgress_ = clock.SteadyMilliseconds();
  return FetchResult::Success;
}

bool TcpStream::WaitSlice(bool forWriting) {
  const std::uint64_t now = host_.TransferClock().SteadyMilliseconds();
  const std::uint64_t silent = now - lastProgress_;
  if (now >= deadline_ || silent >= timeouts_.silenceMs) return false;
  const std::uint64_t left = std::min<std::uint64_t>(timeouts_.silenceMs - silent, deadline_ - now);
  const unsigned slice = static_cast<unsigned>(std::min<std::uint64_t>(timeouts_.sliceMs, left));
  const WaitResult r = forWriting ? socket_.WaitWritable(slice) : socket_.WaitReadable(slice);
  if (r == WaitResult::Failed) return false;
  if (r == WaitResult::TimedOut) PumpMessages(host_);
  return true;
}

bool TcpStream::SendAll(const char* data, std::size_t count) {
  // The socket is non-blocking: what the system cannot take at once waits in slices.
  while (count > 0) {
    const int n = socket_.Send(data, static_cast<int>(std::min<std::size_t>(count, 65536)));
    if (n > 0) {
      data += n;
      count -= static_cast<std::size_t>(n);
    } else if (n != TcpSocket::kWouldBlock || !WaitSlice(true)) {
      return false;
    }
  }
  return true;
}

int TcpStream::Receive(char* buffer, int count) {
  // Receiving first and waiting only when nothing is there saves a select() per chunk.
  for (;;) {
    if (host_.TransferClock().SteadyMilliseconds() >= deadline_) return -1;
    const int n = socket_.Receive(buffer, count);
    if (n > 0) {
      lastProgress_ = host_.TransferClock().SteadyMilliseconds();
      return n;
    }
    if (n != TcpSocket::kWouldBlock) return n == 0 ? 0 : -1;
    if (!WaitSlice(false)) return -1;
  }
}

}  // namespace dova
