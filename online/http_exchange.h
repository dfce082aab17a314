// One exchange of the HTTP fetcher, shared by its two receiving modes: opens the connection the
// request's endpoint names (TCP, then a proxy's CONNECT tunnel and TLS where the endpoint asks
// for them), sends the request, then hands out what arrives. The exchange speaks to a ByteStream
// and does not care what carries it; the TCP connection under it (with its time-outs and the
// message pumping while it waits) is closed when the exchange is destroyed, on every path.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "online/http_fetcher.h"
#include "online/tcp_stream.h"

namespace dova {

// Milliseconds the receiving part of an exchange may take: baseDeadlineMs + limit / rate
// seconds, `rate` in bytes per second (see FetchTimeouts).
std::uint64_t TransferDeadlineMs(const FetchTimeouts& timeouts, long long limit, double rate);

// The steady millisecond by which a transfer must end, shared by the hops of one fetch: the
// first exchange sets it when it starts sending, the later ones keep it.
using TransferDeadline = std::optional<std::uint64_t>;

class HttpExchange {
 public:
  HttpExchange(FetchHost& host, const FetchTimeouts& timeouts);
  HttpExchange(const HttpExchange&) = delete;
  HttpExchange& operator=(const HttpExchange&) = delete;

  // Connects to the endpoint, opens its tunnel and TLS session when it has them, and sends
  // `request` up to its first zero byte. ConnectFailed and SocketFailed as TcpStream::Connect
  // gives them; ConnectFailed also when the proxy refuses or garbles the tunnel, or TLS cannot
  // be set up (Failure() tells which, when it can); SocketFailed when the request cannot be
  // sent. An unset `deadline` is set to deadlineMs from now once connected; a set one bounds
  // the connecting too.
  FetchResult Open(const HttpEndpoint& endpoint, const std::string& request,
                   std::uint64_t deadlineMs, TransferDeadline& deadline);

  // Gives one receive call's worth of at most `count` bytes, waiting for data when none is
  // there yet. Gives the byte count (> 0), 0 when the server has ended the response, or -1 on
  // a receive error, after the silence time-out, or once the deadline has passed.
  int Receive(char* buffer, int count);

  FetchFailure Failure() const { return failure_; }
  const std::string& FailureDetail() const { return detail_; }

 private:
  // Sends the CONNECT request and reads the proxy's answer up to its empty line.
  FetchResult OpenTunnel(const std::string& connectRequest);

  FetchHost& host_;
  const FetchTimeouts timeouts_;
  std::unique_ptr<TcpStream> tcp_;
  std::unique_ptr<ByteStream> tls_;  // after tcp_: the session ends before its transport
  ByteStream* stream_ = nullptr;     // what the request goes over
  FetchFailure failure_ = FetchFailure::None;
  std::string detail_;
};

}  // namespace dova
