// One exchange of the HTTP fetcher, shared by its two receiving modes: opens the connection the
// request's endpoint names, sends the request, then hands out what arrives. The exchange speaks
// to a ByteStream and does not care what carries it; the TCP connection under it (with its
// time-outs and the message pumping while it waits) is closed when the exchange is destroyed,
// on every path.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "online/http_fetcher.h"
#include "online/tcp_stream.h"

namespace dova {

// Milliseconds the receiving part of an exchange may take: baseDeadlineMs + limit / rate
// seconds, `rate` in bytes per second (see FetchTimeouts).
std::uint64_t TransferDeadlineMs(const FetchTimeouts& timeouts, long long limit, double rate);

class HttpExchange {
 public:
  HttpExchange(FetchHost& host, const FetchTimeouts& timeouts);
  HttpExchange(const HttpExchange&) = delete;
  HttpExchange& operator=(const HttpExchange&) = delete;

  // Connects to the endpoint and sends `request` up to its first zero byte. ConnectFailed and
  // SocketFailed as TcpStream::Connect gives them; SocketFailed also when the request cannot be
  // sent. The deadline (deadlineMs) counts from the sending.
  FetchResult Open(const HttpEndpoint& endpoint, const std::string& request,
                   std::uint64_t deadlineMs);

  // Gives one receive call's worth of at most `count` bytes, waiting for data when none is
  // there yet. Gives the byte count (> 0), 0 when the server has ended the response, or -1 on
  // a receive error, after the silence time-out, or once the deadline has passed.
  int Receive(char* buffer, int count);

 private:
  FetchHost& host_;
  const FetchTimeouts timeouts_;
  std::unique_ptr<TcpStream> tcp_;
  ByteStream* stream_ = nullptr;  // what the request goes over
};

}  // namespace dova
