// A scripted HTTP server on a loopback address, for the fetcher's tests and its benchmark. It
// serves every connection on a thread of its own: reads the request up to the empty line,
// records it, and hands the connection to the test's handler, which writes whatever the case
// needs (a page, silence, a trickle, an endless body) and returns; the connection is then closed.
// A handler that is still pausing or sending when the server is destroyed is told to stop.
// Header-only so that it stays out of the program's libraries.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/socket.h"

namespace dova {

// Loopback addresses of the fetcher's tests: 127.0.31.n natively, 127.0.32.n in the Windows
// build, so that a native run and a Wine run can go on at the same time.
inline std::string TestLoopbackAddress(int n) {
#ifdef _WIN32
  return "127.0.32." + std::to_string(n);
#else
  return "127.0.31." + std::to_string(n);
#endif
}

class LoopbackHttpServer {
 public:
  class Connection {
   public:
    Connection(TcpSocket& socket, const std::atomic<bool>& stopping, std::string request)
        : socket_(socket), stopping_(stopping), request_(std::move(request)) {}

    // The request as received, up to and including the empty line.
    const std::string& Request() const { return request_; }
    // Sends all bytes; false when the client has gone or the server is stopping.
    bool Send(const std::string& bytes) { return Send(bytes.data(), bytes.size()); }
    bool Send(const char* data, std::size_t count) {
      return !stopping_ && socket_.SendAll(data, count);
    }
    // Waits; false when the server is stopping meanwhile.
    bool Pause(unsigned milliseconds) {
      const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
      while (std::chrono::steady_clock::now() < end) {
        if (stopping_) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      return !stopping_;
    }
    bool Stopping() const { return stopping_; }
    // Ends the connection with a reset: the client's next receive fails.
    void Reset() { socket_.Abort(); }

   private:
    TcpSocket& socket_;
    const std::atomic<bool>& stopping_;
    std::string request_;
  };

  using Handler = std::function<void(Connection&)>;

  // A handler that sends `bytes` and closes.
  static Handler Reply(std::string bytes) {
    return [bytes = std::move(bytes)](Connection& c) { c.Send(bytes); };
  }

  // Listens on address:port at once. With `readRequest` off the handler runs as soon as the
  // connection is accepted and the request is left unread (closing then resets the connection).
  LoopbackHttpServer(const std::string& address, std::uint16_t port, Handler handler,
                     bool readRequest = true)
      : handler_(std::move(handler)), readRequest_(readRequest) {
    Ipv4Address a;
    listening_ = library_.Started() && ParseIpv4(address, a) && listener_.Open() &&
                 listener_.Listen(a, port, 16);
    if (listening_) thread_ = std::thread([this] { Run(); });
  }

  ~LoopbackHttpServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    for (std::thread& t : connectionThreads_) t.join();
  }

  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  bool Listening() const { return listening_; }

  // Every request received so far, in order.
  std::vector<std::string> Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  std::size_t ConnectionCount() const { return connections_; }

 private:
  void Run() {
    while (!stopping_) {
      if (listener_.WaitReadable(20) != WaitResult::Ready) continue;
      TcpSocket client = listener_.Accept();
      if (!client.IsOpen()) continue;
      ++connections_;
      connectionThreads_.emplace_back(
          [this](TcpSocket socket) { Serve(socket); }, std::move(client));
    }
  }

  void Serve(TcpSocket& client) {
    std::string request = readRequest_ ? ReadRequest(client) : std::string();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    Connection connection(client, stopping_, request);
    handler_(connection);
  }

  // Reads up to the empty line that ends the head, for at most three seconds.
  std::string ReadRequest(TcpSocket& client) {
    std::string request;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (request.find("\r\n\r\n") == std::string::npos && !stopping_ &&
           std::chrono::steady_clock::now() < end) {
      if (client.WaitReadable(20) != WaitResult::Ready) continue;
      // One byte at a time: nothing after the empty line is taken from the socket.
      char c;
      if (client.Receive(&c, 1) != 1) break;
      request.push_back(c);
    }
    return request;
  }

  SocketLibrary library_;  // before the sockets: released after they are closed
  TcpSocket listener_;
  Handler handler_;
  bool readRequest_;
  bool listening_ = false;
  std::atomic<bool> stopping_{false};
  std::atomic<std::size_t> connections_{0};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
  std::vector<std::thread> connectionThreads_;  // touched by the accepting thread only
};

}  // namespace dova
