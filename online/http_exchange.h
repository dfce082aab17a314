// One exchange of the HTTP fetcher, shared by its two receiving modes: starts the socket
// library, connects with a time-out, sends the request, then hands out received chunks while
// enforcing the silence time-out and the overall deadline. The message queue is pumped while it
// waits. The socket is closed and the library released when the exchange is destroyed, on every
// path.
#pragma once

#include <cstdint>
#include <string>

#include "online/http_fetcher.h"
#include "platform/socket.h"

namespace dova {

// Processes the pending window messages; when the main window has been closed, asks the
// application to terminate (the caller's loop goes on).
void PumpMessages(FetchHost& host);

// Milliseconds the receiving part of an exchange may take: baseDeadlineMs + limit / rate
// seconds, `rate` in bytes per second (see FetchTimeouts).
std::uint64_t TransferDeadlineMs(const FetchTimeouts& timeouts, long long limit, double rate);

class HttpExchange {
 public:
  HttpExchange(FetchHost& host, const FetchTimeouts& timeouts);
  HttpExchange(const HttpExchange&) = delete;
  HttpExchange& operator=(const HttpExchange&) = delete;

  // Resolves, connects and sends `request` up to its first zero byte. ConnectFailed when the
  // library cannot start, the name contains a control character or cannot be resolved, or the
  // connection is refused, unreachable or not made within connectMs; SocketFailed when no socket
  // can be created or the request cannot be sent. The deadline counts from the sending.
  FetchResult Open(const std::string& connectHost, std::uint16_t port, const std::string& request,
                   std::uint64_t deadlineMs);

  // Gives one receive call's worth of at most `count` bytes, waiting for data when none is
  // there yet. Gives the byte count (> 0), 0 when the server has closed the connection, or -1 on
  // a receive error, after silenceMs without data, or once the deadline has passed.
  int Receive(char* buffer, int count);

 private:
  // Waits one slice for the socket (readable or writable), pumping messages when the slice
  // passes. False when the wait failed or `limitMs` (from `since`) has passed.
  bool WaitSlice(bool forWriting, std::uint64_t since, std::uint64_t limitMs);

  FetchHost& host_;
  FetchTimeouts timeouts_;
  SocketLibrary library_;  // declared before the socket: released after it is closed
  TcpSocket socket_;
  std::uint64_t deadline_ = 0;
  std::uint64_t lastData_ = 0;
};

}  // namespace dova
