#include "online/http_exchange.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"
#include "platform/tls_stream.h"

namespace dova {

namespace {

// A proxy's answer to CONNECT is a status line and a few headers.
constexpr std::size_t kTunnelAnswerLimit = 16384;

FetchFailure FromTls(TlsFailure failure) {
  switch (failure) {
    case TlsFailure::NotTrusted:
      return FetchFailure::CertificateNotTrusted;
    case TlsFailure::Expired:
      return FetchFailure::CertificateExpired;
    case TlsFailure::WrongName:
      return FetchFailure::CertificateWrongName;
    case TlsFailure::Revoked:
      return FetchFailure::CertificateRevoked;
    case TlsFailure::NotForServers:
      return FetchFailure::CertificateNotForServers;
    case TlsFailure::None:
    case TlsFailure::Unavailable:
    case TlsFailure::HandshakeFailed:
      break;
  }
  return FetchFailure::TlsFailed;
}

}  // namespace

std::uint64_t TransferDeadlineMs(const FetchTimeouts& timeouts, long long limit, double rate) {
  if (rate < 1) rate = 1;
  const double extra = static_cast<double>(std::max(limit, 0LL)) * 1000.0 / rate;
  return timeouts.baseDeadlineMs + static_cast<std::uint64_t>(extra);
}

HttpExchange::HttpExchange(FetchHost& host, const FetchTimeouts& timeouts)
    : host_(host), timeouts_(timeouts) {}

FetchResult HttpExchange::Open(const HttpEndpoint& endpoint, const std::string& request,
                               std::uint64_t deadlineMs, TransferDeadline& deadline) {
  tcp_ = std::make_unique<TcpStream>(host_, timeouts_);
  if (deadline) tcp_->SetDeadline(*deadline);
  const FetchResult connected = tcp_->Connect(endpoint.connectHost, endpoint.connectPort);
  if (connected != FetchResult::Success) return connected;
  if (!deadline) deadline = host_.TransferClock().SteadyMilliseconds() + deadlineMs;
  tcp_->SetDeadline(*deadline);
  stream_ = tcp_.get();

  if (!endpoint.tunnelRequest.empty()) {
    const FetchResult tunnel = OpenTunnel(endpoint.tunnelRequest);
    if (tunnel != FetchResult::Success) return tunnel;
  }
  if (endpoint.tls) {
    TlsSession session = StartTls(*tcp_, endpoint.tlsHost);
    if (!session.stream) {
      failure_ = FromTls(session.failure);
      detail_ = session.detail;
      return FetchResult::ConnectFailed;
    }
    tls_ = std::move(session.stream);
    stream_ = tls_.get();
  }
  if (!stream_->SendAll(request.c_str(), std::strlen(request.c_str())))
    return FetchResult::SocketFailed;
  return FetchResult::Success;
}

FetchResult HttpExchange::OpenTunnel(const std::string& connectRequest) {
  if (!tcp_->SendAll(connectRequest.data(), connectRequest.size()))
    return FetchResult::ConnectFailed;
  // One byte at a time: whatever follows the empty line belongs to the TLS session.
  std::string answer;
  auto ended = [&answer] {
    const std::size_t n = answer.size();
    return (n >= 2 && answer.compare(n - 2, 2, "\n\n") == 0) ||
           (n >= 3 && answer.compare(n - 3, 3, "\n\r\n") == 0);
  };
  while (!ended()) {
    char c;
    if (answer.size() >= kTunnelAnswerLimit || tcp_->Receive(&c, 1) != 1)
      return FetchResult::ConnectFailed;
    answer.push_back(c);
  }
  const int status = ParseHttpStatus(answer);
  // 407 is the proxy's refusal of the login; tinyproxy answers credentials it does not accept
  // with 401. Either is the proxy's own: the origin has not been reached yet.
  if (status == 407 || status == 401) failure_ = FetchFailure::ProxyLogin;
  return status >= 200 && status <= 299 ? FetchResult::Success : FetchResult::ConnectFailed;
}

int HttpExchange::Receive(char* buffer, int count) {
  return stream_ ? stream_->Receive(buffer, count) : -1;
}

}  // namespace dova
