// TCP over IPv4 for the HTTP fetcher and for the loopback servers of its tests and benchmark.
// Windows implements it over Windows Sockets 1.1 (wsock32), POSIX over BSD sockets. Every
// handle has one owner that closes it; the socket library's start and release are paired by
// SocketLibrary. Nothing here throws: failures are results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dova {

// Holds the socket library started for its lifetime: WSAStartup asking for version 1.1 on
// Windows, matched by one WSACleanup in the destructor when (and only when) the start succeeded.
// On POSIX there is nothing to start and Started() is always true. Instances may nest.
class SocketLibrary {
 public:
  SocketLibrary();
  ~SocketLibrary();
  SocketLibrary(const SocketLibrary&) = delete;
  SocketLibrary& operator=(const SocketLibrary&) = delete;

  bool Started() const { return started_; }

 private:
  bool started_ = false;
};

// An IPv4 address in network byte order.
struct Ipv4Address {
  std::uint32_t networkOrder = 0;
};

// Looks a host name up with the system's resolver (a dotted address resolves to itself) and
// gives its first IPv4 address. False when the name cannot be resolved. Blocks while the
// resolver works. Needs a started SocketLibrary.
bool ResolveHost(const std::string& name, Ipv4Address& address);

// Reads a dotted address such as "127.0.31.1" without asking the resolver.
bool ParseIpv4(const std::string& dotted, Ipv4Address& address);

enum class WaitResult { Ready, TimedOut, Failed };

// One IPv4 TCP stream socket, closed by its destructor. Movable, not copyable.
class TcpSocket {
 public:
  TcpSocket() = default;
  ~TcpSocket();
  TcpSocket(TcpSocket&& other) noexcept;
  TcpSocket& operator=(TcpSocket&& other) noexcept;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Creates the socket; false when the system refuses one.
  bool Open();
  bool IsOpen() const;
  void Close();
  // Closes with a reset instead of an orderly end (linger time zero): the peer's next receive
  // fails. For test servers that play a broken peer.
  void Abort();

  // --- client side ---
  // Starts connecting. The socket is non-blocking from here on: Send and Receive return
  // kWouldBlock instead of waiting. False when the attempt failed at once; otherwise the outcome
  // is learnt from WaitConnected.
  bool StartConnect(Ipv4Address address, std::uint16_t port);
  // Waits up to `milliseconds` for the connection started by StartConnect. Ready: connected;
  // Failed: refused or unreachable; TimedOut: still pending, call again.
  WaitResult WaitConnected(unsigned milliseconds);

  static constexpr int kWouldBlock = -2;

  // One send call: bytes sent, -1 on error, kWouldBlock when a non-blocking socket cannot take
  // any now. Never raises SIGPIPE.
  int Send(const char* data, int count);
  // Sends all bytes on a blocking socket, calling send as often as needed. False on error.
  bool SendAll(const char* data, std::size_t count);
  // Waits up to `milliseconds` until a send would not block.
  WaitResult WaitWritable(unsigned milliseconds);

  // Waits up to `milliseconds` until a receive (or, for a listening socket, an accept) would
  // not block. Ready also when the peer has closed or an error is pending.
  WaitResult WaitReadable(unsigned milliseconds);
  // One receive call of at most `count` bytes: the bytes received (> 0), 0 when the peer has
  // closed the connection, -1 on error, kWouldBlock when a non-blocking socket has nothing yet.
  int Receive(char* buffer, int count);

  // Ends our sending direction; the peer reads the end of the stream.
  void ShutdownSend();

  // --- server side ---
  // Binds to the address and port (reusing an address in TIME_WAIT) and listens.
  bool Listen(Ipv4Address address, std::uint16_t port, int backlog);
  // Takes one pending connection; the result is not open when there was none or on error.
  TcpSocket Accept();

 private:
  static constexpr std::uintptr_t kInvalid = ~static_cast<std::uintptr_t>(0);
  explicit TcpSocket(std::uintptr_t handle) : handle_(handle) {}

  std::uintptr_t handle_ = kInvalid;
};

}  // namespace dova
