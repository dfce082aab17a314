// The fetcher's calls that follow redirects over single exchanges.
#include <optional>
#include <string>

#include "online/http_transfer.h"
#include "online/picture_response.h"
#include "online/web_address.h"

namespace dova {

namespace {

// Where a redirect from `from` to `location` leads: the next address, or the failure that
// ends the fetch. `hops` redirects have been followed before this one.
std::optional<std::string> NextHop(const std::string& from, const std::string& location, int hops,
                                   FetchFailure& failure) {
  if (hops >= kMaxRedirects) {
    failure = FetchFailure::TooManyRedirects;
    return std::nullopt;
  }
  std::optional<std::string> next = ResolveWebAddress(from, location);
  if (!next) return std::nullopt;
  if (ReadWebAddress(from).Secure() && !ParseWebAddress(*next)->Secure()) {
    failure = FetchFailure::RedirectToHttp;
    return std::nullopt;
  }
  return next;
}

template <typename Response>
Response RedirectFailure(FetchFailure failure) {
  Response response;
  response.result = FetchResult::SocketFailed;
  response.failure = failure;
  return response;
}

}  // namespace

TextResponse FetchText(FetchHost& host, const ConnectionSettings& settings,
                       const std::string& method, const std::string& url, long long limit,
                       const FetchTimeouts& timeouts) {
  TransferDeadline deadline;
  std::string address = url;
  for (int hops = 0;; ++hops) {
    TextResponse response =
        ExchangeText(host, BuildHttpRequest(settings, method, address), limit, timeouts, deadline);
    if (response.result != FetchResult::Success) return response;
    response.finalAddress = address;
    const std::optional<std::string> location = RedirectLocation(response.text);
    if (!location) return response;
    FetchFailure failure = FetchFailure::None;
    const std::optional<std::string> next = NextHop(address, *location, hops, failure);
    // A Location that names no address we can ask leaves the redirect as the answer.
    if (!next)
      return failure == FetchFailure::None ? response : RedirectFailure<TextResponse>(failure);
    address = *next;
  }
}

FileResponse FetchToFile(FetchHost& host, const ConnectionSettings& settings,
                         const std::string& url, long long limit, std::FILE* file,
                         const FetchTimeouts& timeouts) {
  TransferDeadline deadline;
  std::string address = url;
  for (int hops = 0;; ++hops) {
    std::string location;
    FileResponse response = ExchangeToFile(host, BuildHttpRequest(settings, "GET ", address),
                                           settings, limit, file, timeouts, deadline, &location);
    if (response.result != FetchResult::Success || location.empty()) return response;
    FetchFailure failure = FetchFailure::None;
    const std::optional<std::string> next = NextHop(address, location, hops, failure);
    // Nothing of the redirect was written; one whose Location names no address we can ask is
    // no picture.
    if (!next) return RedirectFailure<FileResponse>(failure);
    address = *next;
  }
}

}  // namespace dova
