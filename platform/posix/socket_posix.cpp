// BSD sockets behind platform/socket.h.
#include "platform/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace dova {

namespace {

int Fd(std::uintptr_t handle) { return static_cast<int>(handle); }

bool SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL, 0);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

sockaddr_in MakeAddress(Ipv4Address address, std::uint16_t port) {
  sockaddr_in sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = address.networkOrder;
  return sa;
}

// select() on one descriptor; retries when a signal interrupts it.
WaitResult WaitFor(int fd, bool forWriting, unsigned milliseconds) {
  if (fd < 0 || fd >= FD_SETSIZE) return WaitResult::Failed;
  for (;;) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval tv;
    tv.tv_sec = static_cast<long>(milliseconds / 1000);
    tv.tv_usec = static_cast<long>(milliseconds % 1000) * 1000;
    int r = forWriting ? select(fd + 1, nullptr, &set, nullptr, &tv)
                       : select(fd + 1, &set, nullptr, nullptr, &tv);
    if (r > 0) return WaitResult::Ready;
    if (r == 0) return WaitResult::TimedOut;
    if (errno != EINTR) return WaitResult::Failed;
  }
}

}  // namespace

SocketLibrary::SocketLibrary() : started_(true) {}
SocketLibrary::~SocketLibrary() = default;

bool ResolveHost(const std::string& name, Ipv4Address& address) {
  if (name.empty()) return false;
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  address.networkOrder = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return true;
}

bool ParseIpv4(const std::string& dotted, Ipv4Address& address) {
  in_addr a;
  if (inet_pton(AF_INET, dotted.c_str(), &a) != 1) return false;
  address.networkOrder = a.s_addr;
  return true;
}

bool TcpSocket::Open() {
  Close();
  // Close-on-exec: a helper program started meanwhile must not keep our ports.
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  handle_ = static_cast<std::uintptr_t>(fd);
  return true;
}

void TcpSocket::Close() {
  if (handle_ != kInvalid) close(Fd(handle_));
  handle_ = kInvalid;
}

void TcpSocket::Abort() {
  if (handle_ == kInvalid) return;
  linger l;
  l.l_onoff = 1;
  l.l_linger = 0;
  setsockopt(Fd(handle_), SOL_SOCKET, SO_LINGER, &l, sizeof l);
  Close();
}

bool TcpSocket::StartConnect(Ipv4Address address, std::uint16_t port) {
  if (!IsOpen() || !SetNonBlocking(Fd(handle_))) return false;
  sockaddr_in sa = MakeAddress(address, port);
  if (connect(Fd(handle_), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) return true;
  return errno == EINPROGRESS || errno == EINTR;
}

WaitResult TcpSocket::WaitConnected(unsigned milliseconds) {
  WaitResult r = WaitFor(Fd(handle_), true, milliseconds);
  if (r != WaitResult::Ready) return r;
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(Fd(handle_), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
    return WaitResult::Failed;
  return WaitResult::Ready;
}

int TcpSocket::Send(const char* data, int count) {
  if (!IsOpen()) return -1;
  for (;;) {
    ssize_t n = send(Fd(handle_), data, static_cast<std::size_t>(count), MSG_NOSIGNAL);
    if (n >= 0) return static_cast<int>(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK) return kWouldBlock;
    if (errno != EINTR) return -1;
  }
}

bool TcpSocket::SendAll(const char* data, std::size_t count) {
  while (count > 0) {
    int piece = count > 65536 ? 65536 : static_cast<int>(count);
    int n = Send(data, piece);
    if (n <= 0) return false;
    data += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

WaitResult TcpSocket::WaitWritable(unsigned milliseconds) {
  return WaitFor(Fd(handle_), true, milliseconds);
}

WaitResult TcpSocket::WaitReadable(unsigned milliseconds) {
  return WaitFor(Fd(handle_), false, milliseconds);
}

int TcpSocket::Receive(char* buffer, int count) {
  if (!IsOpen()) return -1;
  for (;;) {
    ssize_t n = recv(Fd(handle_), buffer, static_cast<std::size_t>(count), 0);
    if (n >= 0) return static_cast<int>(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK) return kWouldBlock;
    if (errno != EINTR) return -1;
  }
}

void TcpSocket::ShutdownSend() {
  if (IsOpen()) shutdown(Fd(handle_), SHUT_WR);
}

bool TcpSocket::Listen(Ipv4Address address, std::uint16_t port, int backlog) {
  if (!IsOpen()) return false;
  int yes = 1;
  setsockopt(Fd(handle_), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in sa = MakeAddress(address, port);
  if (bind(Fd(handle_), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) return false;
  return listen(Fd(handle_), backlog) == 0;
}

TcpSocket TcpSocket::Accept() {
  if (!IsOpen()) return TcpSocket();
  for (;;) {
    int fd = accept4(Fd(handle_), nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) return TcpSocket(static_cast<std::uintptr_t>(fd));
    if (errno != EINTR) return TcpSocket();
  }
}

}  // namespace dova
