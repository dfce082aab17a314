// A ByteStream over a TcpSocket for the TLS tests and benchmark: connects to an address and
// waits for the peer at most a fixed time per call, so that a server that stalls fails the call
// instead of hanging the test.
#pragma once

#include <cstdint>

#include "platform/byte_stream.h"
#include "platform/socket.h"

namespace dova::testing {

class TcpByteStream final : public ByteStream {
 public:
  explicit TcpByteStream(unsigned timeoutMs) : timeoutMs_(timeoutMs) {}

  // Connects to `dotted`:`port`; false when that fails or takes longer than the time-out.
  bool Connect(const char* dotted, std::uint16_t port) {
    Ipv4Address address;
    return ParseIpv4(dotted, address) && socket_.Open() && socket_.StartConnect(address, port) &&
           socket_.WaitConnected(timeoutMs_) == WaitResult::Ready;
  }

  bool SendAll(const char* data, std::size_t count) override {
    while (count > 0) {
      if (socket_.WaitWritable(timeoutMs_) != WaitResult::Ready) return false;
      const int n = socket_.Send(data, count > 65536 ? 65536 : static_cast<int>(count));
      if (n == TcpSocket::kWouldBlock) continue;
      if (n <= 0) return false;
      data += n;
      count -= static_cast<std::size_t>(n);
    }
    return true;
  }

  int Receive(char* buffer, int count) override {
    for (;;) {
      const int n = socket_.Receive(buffer, count);
      if (n != TcpSocket::kWouldBlock) return n < 0 ? -1 : n;
      if (socket_.WaitReadable(timeoutMs_) != WaitResult::Ready) return -1;
    }
  }

 private:
  SocketLibrary library_;
  TcpSocket socket_;
  unsigned timeoutMs_;
};

}  // namespace dova::testing
