// What a socket owner does alike on every system: ownership moves, and the end closes it.
#include "platform/socket.h"

#include <utility>

namespace dova {

TcpSocket::~TcpSocket() { Close(); }

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : handle_(std::exchange(other.handle_, kInvalid)) {}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kInvalid);
  }
  return *this;
}

bool TcpSocket::IsOpen() const { return handle_ != kInvalid; }

}  // namespace dova
