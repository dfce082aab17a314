#include "online/http_exchange.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"

namespace dova {

std::uint64_t TransferDeadlineMs(const FetchTimeouts& timeouts, long long limit, double rate) {
  if (rate < 1) rate = 1;
  const double extra = static_cast<double>(std::max(limit, 0LL)) * 1000.0 / rate;
  return timeouts.baseDeadlineMs + static_cast<std::uint64_t>(extra);
}

HttpExchange::HttpExchange(FetchHost& host, const FetchTimeouts& timeouts)
    : host_(host), timeouts_(timeouts) {}

FetchResult HttpExchange::Open(const HttpEndpoint& endpoint, const std::string& request,
                               std::uint64_t deadlineMs) {
  tcp_ = std::make_unique<TcpStream>(host_, timeouts_);
  const FetchResult connected = tcp_->Connect(endpoint.connectHost, endpoint.connectPort);
  if (connected != FetchResult::Success) return connected;
  tcp_->SetDeadline(host_.TransferClock().SteadyMilliseconds() + deadlineMs);
  stream_ = tcp_.get();
  if (!stream_->SendAll(request.c_str(), std::strlen(request.c_str())))
    return FetchResult::SocketFailed;
  return FetchResult::Success;
}

int HttpExchange::Receive(char* buffer, int count) {
  return stream_ ? stream_->Receive(buffer, count) : -1;
}

}  // namespace dova
