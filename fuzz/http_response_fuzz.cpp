// Whatever a server answers, sent in the pieces it chooses over a real loopback connection: the
// fetcher takes it as text (the page, the HEAD answer) and into a file (the picture), and the
// daily update reads the status line, the header end, Content-Length, the page's address and
// the picture behind the header. The server sends its answer whole and closes, so both
// exchanges succeed; the text keeps every byte below the limit up to a zero byte, the file every
// byte below the limit, and the readers must agree with what was sent.
#include <fuzzer/FuzzedDataProvider.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input_file.h"
#include "online/http_fetcher.h"
#include "online/picture_response.h"
#include "platform/error.h"
#include "platform/socket.h"
#include "tests/support/fake_fetch_host.h"
#include "text/number_text.h"

namespace {

// An address of its own: the native tests use 127.0.31.x, the Windows tests 127.0.32.x.
const char kAddress[] = "127.0.34.1";
constexpr std::uint16_t kPort = 80;

// Serves every connection with the current answer, in its pieces, then closes it.
class AnswerServer {
 public:
  AnswerServer() {
    dova::Ipv4Address address;
    dova::FuzzCheck(library_.Started() && dova::ParseIpv4(kAddress, address) && listener_.Open() &&
                        listener_.Listen(address, kPort, 16),
                    std::string("cannot listen on ") + kAddress + ":80");
    std::thread([this] { Run(); }).detach();  // serves until the process ends
  }

  void SetAnswer(std::string answer, std::size_t piece) {
    std::lock_guard<std::mutex> lock(mutex_);
    answer_ = std::move(answer);
    piece_ = piece;
  }

 private:
  void Run() {
    for (;;) {
      if (listener_.WaitReadable(1000) != dova::WaitResult::Ready) continue;
      dova::TcpSocket client = listener_.Accept();
      if (!client.IsOpen()) continue;
      std::string answer;
      std::size_t piece;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        answer = answer_;
        piece = piece_;
      }
      ReadRequest(client);
      for (std::size_t at = 0; at < answer.size(); at += piece) {
        if (!client.SendAll(answer.data() + at, std::min(piece, answer.size() - at))) break;
        std::this_thread::yield();  // lets the client take the piece on its own
      }
      client.Close();
    }
  }

  static void ReadRequest(dova::TcpSocket& client) {
    std::string request;
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 4096) {
      if (client.WaitReadable(2000) != dova::WaitResult::Ready) return;
      char buffer[512];
      const int n = client.Receive(buffer, sizeof buffer);
      if (n <= 0) return;
      request.append(buffer, static_cast<std::size_t>(n));
    }
  }

  dova::SocketLibrary library_;
  dova::TcpSocket listener_;
  std::mutex mutex_;
  std::string answer_;
  std::size_t piece_ = 1;
};

dova::FetchTimeouts QuickTimeouts() {
  dova::FetchTimeouts timeouts;
  timeouts.sliceMs = 20;
  timeouts.connectMs = 5000;
  timeouts.silenceMs = 5000;
  timeouts.baseDeadlineMs = 10000;
  return timeouts;
}

// True when `part` is `whole` with some bytes left out, the rest in order.
bool IsSubsequence(const std::string& part, const std::string& whole) {
  std::size_t at = 0;
  for (char c : part) {
    while (at < whole.size() && whole[at] != c) ++at;
    if (at == whole.size()) return false;
    ++at;
  }
  return true;
}

std::string ReadAll(std::FILE* file) {
  std::string bytes;
  std::rewind(file);
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  return bytes;
}

void CheckText(const std::string& answer, long long limit, const dova::TextResponse& response) {
  dova::FuzzCheck(response.result == dova::FetchResult::Success,
                  "the page could not be fetched from a server that answered");
  const std::string& text = response.text;
  dova::FuzzCheck(text.find('\0') == std::string::npos, "a zero byte in the text");
  dova::FuzzCheck(limit >= 1 ? static_cast<long long>(text.size()) < limit : text.empty(),
                  "the text reaches the limit");
  dova::FuzzCheck(IsSubsequence(text, answer), "the text holds bytes that were not sent");
  if (answer.find('\0') == std::string::npos && static_cast<long long>(answer.size()) < limit)
    dova::FuzzCheck(text == answer, "the text is not the answer");

  // What the daily update reads from it.
  std::string address;
  if (dova::ReadPictureAddress(text, address) == dova::PageVerdict::Address)
    dova::FuzzCheck(address.find_first_of("\r\n") == std::string::npos, "an address of two lines");
  dova::IsRequestableAddress(address);
  std::string lengthText;
  if (dova::FindContentLength(text, lengthText)) {
    dova::FuzzCheck(lengthText.find_first_of("\r\n") == std::string::npos &&
                        lengthText == dova::Trim(lengthText),
                    "a Content-Length text over more than its line");
    try {
      dova::ReadDecimalLong(lengthText);
    } catch (const dova::Error&) {
    }
  }
  const std::size_t end = dova::HeaderEnd(text);
  dova::FuzzCheck(end == std::string::npos || end <= text.size(), "a header end past the text");
}

void CheckFile(const std::string& answer, long long limit, const dova::FileResponse& response,
               const std::string& path, std::FILE* file) {
  dova::FuzzCheck(response.result == dova::FetchResult::Success,
                  "the picture could not be fetched from a server that answered");
  const int status = response.httpStatus;
  // The status comes from the status line, or is 0 when none was read (the fetcher may stop
  // before its first block, as when there is no room for a byte).
  const int expected = dova::ParseHttpStatus(answer.substr(0, 256));
  dova::FuzzCheck(status == expected || status == 0, "the status is not the status line's");
  dova::FuzzCheck(status >= 0 && status <= 999, "a status of more than 3 digits");
  const std::string kept = ReadAll(file);
  dova::FuzzCheck(limit >= 1 ? static_cast<long long>(kept.size()) < limit : kept.empty(),
                  "the file reaches the limit");
  dova::FuzzCheck(IsSubsequence(kept, answer), "the file holds bytes that were not sent");
  if (static_cast<long long>(answer.size()) < limit)
    dova::FuzzCheck(kept == answer, "the file is not the answer");

  // The picture behind the header, as the daily update strips it.
  std::fflush(file);
  dova::StripResult stripped;
  try {
    stripped = dova::StripHttpHeader(path);
  } catch (const dova::Error& error) {
    dova::FuzzFailure(std::string("the file cannot be stripped: ") + error.what());
  }
  std::FILE* again = std::fopen(path.c_str(), "rb");
  dova::FuzzCheck(again != nullptr, "the stripped file is gone");
  const std::string body = ReadAll(again);
  std::fclose(again);
  const std::size_t end = dova::HeaderEnd(kept.substr(0, kept.find('\0')));
  if (stripped == dova::StripResult::Stripped)
    dova::FuzzCheck(end != std::string::npos && body == kept.substr(end),
                    "the picture is not what follows the header");
  else
    dova::FuzzCheck(end == std::string::npos && body == kept, "a file without a header changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static AnswerServer server;
  static dova::FuzzInputFile picture;
  static const long long kLimits[] = {0, 1, 2, 17, 256, 1024, 1025, 4096, 16384, 1 << 20};
  FuzzedDataProvider input(data, size);
  const long long textLimit = input.PickValueInArray(kLimits);
  const long long fileLimit = input.PickValueInArray(kLimits);
  const std::size_t piece = input.ConsumeIntegralInRange<std::size_t>(1, 2048);
  const std::string answer = input.ConsumeRemainingBytesAsString();
  server.SetAnswer(answer, piece);

  dova::FakeFetchHost host;
  host.recordProgress = false;
  dova::HttpRequest request;
  request.endpoint.connectHost = kAddress;
  request.endpoint.connectPort = kPort;
  request.endpoint.target = "/potd";
  request.endpoint.hostHeader = kAddress;
  request.text = "GET /potd HTTP/1.0\r\nHost: 127.0.34.1\r\nConnection: Close\r\n\r\n";
  CheckText(answer, textLimit, dova::SendRequestForText(host, request, textLimit, QuickTimeouts()));

  std::FILE* file = std::fopen(picture.Path().c_str(), "w+b");
  dova::FuzzCheck(file != nullptr, "cannot open the picture file");
  dova::ConnectionSettings direct;  // no proxy, no speed limit
  direct.speed = "10";              // read even when the limit is off
  CheckFile(answer, fileLimit,
            dova::SendRequestToFile(host, request, direct, fileLimit, file, QuickTimeouts()),
            picture.Path(), file);
  std::fclose(file);
  return 0;
}
