// The single exchanges behind the fetcher's calls, each within the deadline of the fetch it
// belongs to. Only the fetcher's own files include this.
#pragma once

#include <cstdio>
#include <string>

#include "online/http_exchange.h"
#include "online/http_fetcher.h"

namespace dova {

TextResponse ExchangeText(FetchHost& host, const HttpRequest& request, long long limit,
                          const FetchTimeouts& timeouts, TransferDeadline& deadline);

// With `redirectTo` given, an answer whose head is a redirect (RedirectLocation) is not
// written: the exchange ends there and *redirectTo receives its Location. Otherwise *redirectTo
// is left empty.
FileResponse ExchangeToFile(FetchHost& host, const HttpRequest& request,
                            const ConnectionSettings& settings, long long limit, std::FILE* file,
                            const FetchTimeouts& timeouts, TransferDeadline& deadline,
                            std::string* redirectTo);

}  // namespace dova
