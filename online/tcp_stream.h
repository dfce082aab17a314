// The fetcher's TCP connection as a ByteStream: starts the socket library, connects with a
// time-out, and waits for the peer in short slices with the window's message queue pumped
// between them, so that the program stays alive during a transfer. Every wait is bounded by the
// silence time-out and by the exchange's deadline. The socket is closed and the library released
// when the stream is destroyed.
#pragma once

#include <cstdint>
#include <string>

#include "online/http_fetcher.h"
#include "platform/byte_stream.h"
#include "platform/socket.h"

namespace dova {

// Processes the pending window messages; when the main window has been closed, asks the
// application to terminate (the caller's loop goes on).
void PumpMessages(FetchHost& host);

class TcpStream : public ByteStream {
 public:
  TcpStream(FetchHost& host, const FetchTimeouts& timeouts);
  TcpStream(const TcpStream&) = delete;
  TcpStream& operator=(const TcpStream&) = delete;

  // Resolves `hostName` and connects to its port. ConnectFailed when the library cannot start,
  // the name contains a control character or cannot be resolved, or the connection is refused,
  // unreachable or not made within connectMs; SocketFailed when no socket can be created.
  FetchResult Connect(const std::string& hostName, std::uint16_t port);

  // From now on no wait goes beyond `steadyMs` (the host clock's steady milliseconds).
  void SetDeadline(std::uint64_t steadyMs) { deadline_ = steadyMs; }

  // Fails also after silenceMs without progress, or once the deadline has passed.
  bool SendAll(const char* data, std::size_t count) override;
  // -1 also after silenceMs without data, or once the deadline has passed.
  int Receive(char* buffer, int count) override;

 private:
  // Waits one slice for the socket (readable or writable), pumping messages when the slice
  // passes. False when the wait failed, silenceMs has passed since the last progress, or the
  // deadline has.
  bool WaitSlice(bool forWriting);

  FetchHost& host_;
  FetchTimeouts timeouts_;
  SocketLibrary library_;  // declared before the socket: released after it is closed
  TcpSocket socket_;
  std::uint64_t deadline_ = UINT64_MAX;
  std::uint64_t lastProgress_ = 0;
};

}  // namespace dova
