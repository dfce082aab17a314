// The channel's picture-address page, as a site or anything between it and the program may send
// it: its one line becomes the address of the day's picture, and that address goes into the
// HEAD and GET requests, directly or through a proxy. An address taken from the page must be one
// line, and the requests made from it must keep their shape: no byte of the page may start a
// line of its own in a request.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "online/http_fetcher.h"
#include "online/picture_response.h"
#include "platform/error.h"
#include "text/number_text.h"

namespace {

void CheckRequest(const dova::ConnectionSettings& settings, const char* method,
                  const std::string& address) {
  dova::HttpRequest request;
  try {
    request = dova::BuildHttpRequest(settings, method, address);
  } catch (const dova::Error&) {
    return;  // refused: an address that would split the request
  }
  const std::string& text = request.text;
  std::size_t lines = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') dova::FuzzFailure("a line feed without a carriage return");
    if (text[i] != '\r') continue;
    dova::FuzzCheck(i + 1 < text.size() && text[i + 1] == '\n', "a lone carriage return");
    ++lines;
    ++i;
  }
  // Credentials go to a proxy in http requests only: https ones travel inside its tunnel.
  const bool credentials =
      !dova::ProxyAuthorizationLines(settings).empty() && !request.endpoint.tls;
  dova::FuzzCheck(lines == (credentials ? 7u : 5u), "the request has another number of lines");
  dova::FuzzCheck(text.compare(0, std::string(method).size(), method) == 0 &&
                      text.find(" HTTP/1.0\r\nHost: ") != std::string::npos && text.size() >= 4 &&
                      text.compare(text.size() - 4, 4, "\r\n\r\n") == 0,
                  "the request lost its shape");
  dova::FuzzCheck(text.find('\0') == std::string::npos, "a zero byte in the request");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool useProxy = input.ConsumeBool();
  const bool login = input.ConsumeBool();
  const std::string page = input.ConsumeRemainingBytesAsString();

  std::string address;
  if (dova::ReadPictureAddress(page, address) != dova::PageVerdict::Address) {
    dova::FuzzCheck(address.empty(), "an address from a page that is not one line");
    return 0;
  }
  dova::FuzzCheck(address.find_first_of("\r\n") == std::string::npos, "an address of two lines");
  dova::FuzzCheck(address == dova::Trim(address), "blanks around the address");
  if (!dova::IsRequestableAddress(address)) return 0;
  for (char c : address)
    dova::FuzzCheck(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F,
                    "a control character in a requestable address");

  std::string host, path;
  dova::SplitHttpUrl(address, host, path);
  dova::FuzzCheck(host.find('/') == std::string::npos && !path.empty() && path[0] == '/',
                  "the address splits into another host and path");

  dova::ConnectionSettings settings;
  settings.useProxy = useProxy;
  settings.proxyServer = "proxy.lan";
  settings.proxyPort = "3128";
  settings.proxyNeedsLogin = login;
  settings.login = "me";
  settings.password = "secret";
  for (const char* method : {"GET ", "HEAD "}) CheckRequest(settings, method, address);
  return 0;
}
