// A connected stream of bytes, as the HTTP exchange sees it: a TCP connection, a tunnel through
// a proxy, or TLS over either. The protocol asks for bytes; the stream decides whether they were
// encrypted or tunnelled. Implementations wait for the peer themselves (with whatever time-outs
// and message pumping their owner gave them). Nothing here throws: failures are results.
#pragma once

#include <cstddef>

namespace dova {

class ByteStream {
 public:
  virtual ~ByteStream() = default;

  // Sends all `count` bytes. False when the peer has gone, on an error, or when the owner's
  // time-out passed first; the stream is then unusable.
  virtual bool SendAll(const char* data, std::size_t count) = 0;

  // Receives at most `count` (> 0) bytes, waiting until some arrive. Gives the byte count
  // (> 0); 0 when the peer ended the stream in order (a TCP close; for TLS, close_notify); -1 on
  // an error, a time-out, or an end that is not orderly (for TLS, a TCP close without
  // close_notify, which would otherwise pass a cut body off as whole).
  virtual int Receive(char* buffer, int count) = 0;
};

}  // namespace dova
