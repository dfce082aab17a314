// Windows Sockets 1.1 (wsock32) behind platform/socket.h.
#include "platform/socket.h"

#include <windows.h>
#include <winsock.h>

#include <utility>

namespace dova {

namespace {

SOCKET Sock(std::uintptr_t handle) { return static_cast<SOCKET>(handle); }

sockaddr_in MakeAddress(Ipv4Address address, std::uint16_t port) {
  sockaddr_in sa;
  ZeroMemory(&sa, sizeof sa);
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = address.networkOrder;
  return sa;
}

bool SetNonBlocking(SOCKET s) {
  u_long nonBlocking = 1;
  return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

timeval Milliseconds(unsigned milliseconds) {
  timeval tv;
  tv.tv_sec = static_cast<long>(milliseconds / 1000);
  tv.tv_usec = static_cast<long>(milliseconds % 1000) * 1000;
  return tv;
}

}  // namespace

SocketLibrary::SocketLibrary() {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

SocketLibrary::~SocketLibrary() {
  if (started_) WSACleanup();
}

bool ResolveHost(const std::string& name, Ipv4Address& address) {
  // An empty name would give the local host's address.
  if (name.empty()) return false;
  const hostent* host = gethostbyname(name.c_str());
  if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != 4 ||
      host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr)
    return false;
  CopyMemory(&address.networkOrder, host->h_addr_list[0], 4);
  return true;
}

// Four decimal parts of 0 to 255 without leading zeros, as inet_pton takes them: inet_addr would
// also take the old short and octal forms ("127.1", "0177.0.0.1").
static bool IsDottedQuad(const std::string& text) {
  int parts = 0, digits = 0, value = 0;
  for (const char c : text) {
    if (c == '.') {
      if (digits == 0) return false;
      ++parts, digits = 0, value = 0;
    } else if (c >= '0' && c <= '9' && !(digits == 1 && value == 0)) {
      value = value * 10 + (c - '0');
      if (++digits > 3 || value > 255) return false;
    } else {
      return false;
    }
  }
  return parts == 3 && digits > 0;
}

bool ParseIpv4(const std::string& dotted, Ipv4Address& address) {
  if (!IsDottedQuad(dotted)) return false;
  // Winsock 1.1 has no inet_pton; inet_addr's only ambiguous answer is the broadcast address.
  unsigned long a = inet_addr(dotted.c_str());
  if (a == INADDR_NONE && dotted != "255.255.255.255") return false;
  address.networkOrder = static_cast<std::uint32_t>(a);
  return true;
}

bool TcpSocket::Open() {
  Close();
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return false;
  handle_ = static_cast<std::uintptr_t>(s);
  return true;
}

void TcpSocket::Close() {
  if (handle_ != kInvalid) closesocket(Sock(handle_));
  handle_ = kInvalid;
}

void TcpSocket::Abort() {
  if (handle_ == kInvalid) return;
  linger l;
  l.l_onoff = 1;
  l.l_linger = 0;
  setsockopt(Sock(handle_), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
  Close();
}

bool TcpSocket::StartConnect(Ipv4Address address, std::uint16_t port) {
  if (!IsOpen() || !SetNonBlocking(Sock(handle_))) return false;
  sockaddr_in sa = MakeAddress(address, port);
  if (connect(Sock(handle_), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) return true;
  return WSAGetLastError() == WSAEWOULDBLOCK;
}

WaitResult TcpSocket::WaitConnected(unsigned milliseconds) {
  // Winsock reports a finished connect as writable and a failed one as an exception.
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(Sock(handle_), &writable);
  FD_SET(Sock(handle_), &failed);
  timeval tv = Milliseconds(milliseconds);
  int r = select(0, nullptr, &writable, &failed, &tv);
  if (r == 0) return WaitResult::TimedOut;
  if (r < 0 || FD_ISSET(Sock(handle_), &failed)) return WaitResult::Failed;
  int error = 0;
  int length = sizeof error;
  if (getsockopt(Sock(handle_), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                 &length) != 0 ||
      error != 0)
    return WaitResult::Failed;
  return WaitResult::Ready;
}

int TcpSocket::Send(const char* data, int count) {
  if (!IsOpen()) return -1;
  int n = send(Sock(handle_), data, count, 0);
  if (n != SOCKET_ERROR) return n;
  return WSAGetLastError() == WSAEWOULDBLOCK ? kWouldBlock : -1;
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
  if (!IsOpen()) return WaitResult::Failed;
  fd_set writable;
  FD_ZERO(&writable);
  FD_SET(Sock(handle_), &writable);
  timeval tv = Milliseconds(milliseconds);
  int r = select(0, nullptr, &writable, nullptr, &tv);
  if (r > 0) return WaitResult::Ready;
  return r == 0 ? WaitResult::TimedOut : WaitResult::Failed;
}

WaitResult TcpSocket::WaitReadable(unsigned milliseconds) {
  if (!IsOpen()) return WaitResult::Failed;
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(Sock(handle_), &readable);
  timeval tv = Milliseconds(milliseconds);
  int r = select(0, &readable, nullptr, nullptr, &tv);
  if (r > 0) return WaitResult::Ready;
  return r == 0 ? WaitResult::TimedOut : WaitResult::Failed;
}

int TcpSocket::Receive(char* buffer, int count) {
  if (!IsOpen()) return -1;
  int n = recv(Sock(handle_), buffer, count, 0);
  if (n != SOCKET_ERROR) return n;
  return WSAGetLastError() == WSAEWOULDBLOCK ? kWouldBlock : -1;
}

void TcpSocket::ShutdownSend() {
  // SD_SEND is 1; winsock.h of version 1.1 has no name for it.
  if (IsOpen()) shutdown(Sock(handle_), 1);
}

bool TcpSocket::Listen(Ipv4Address address, std::uint16_t port, int backlog) {
  if (!IsOpen()) return false;
  BOOL yes = TRUE;
  setsockopt(Sock(handle_), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes),
             sizeof yes);
  sockaddr_in sa = MakeAddress(address, port);
  if (bind(Sock(handle_), reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) return false;
  return listen(Sock(handle_), backlog) == 0;
}

TcpSocket TcpSocket::Accept() {
  if (!IsOpen()) return TcpSocket();
  SOCKET s = accept(Sock(handle_), nullptr, nullptr);
  if (s == INVALID_SOCKET) return TcpSocket();
  return TcpSocket(static_cast<std::uintptr_t>(s));
}

}  // namespace dova
