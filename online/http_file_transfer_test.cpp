// SendRequestToFile against a scripted server on a loopback address, port 80.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/error.h"
#include "tests/support/http_test_support.h"

namespace dova {
namespace {

// Picture-like bytes: every value, zero bytes included.
std::string Body(std::size_t size) {
  std::string body(size, '\0');
  unsigned x = 12345;
  for (char& c : body) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return body;
}

std::string PictureResponse(const std::string& body) {
  return "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + body;
}

long long CounterOf(const std::string& progress) {
  EXPECT_EQ(progress.rfind("Downloaded ", 0), 0u) << progress;
  return std::stoll(progress.substr(11));
}

class FileTransfer : public ::testing::Test {
 protected:
  Download Fetch(long long limit, const FetchTimeouts& timeouts = QuickTimeouts()) {
    return DownloadToFile(host, host.settings, RawRequest(address, 80, pictureRequest), limit,
                          timeouts);
  }

  const std::string address = TestLoopbackAddress(1);
  const std::string pictureRequest = DirectRequest("GET ", address, "/pictures/today.jpg");
  FakeFetchHost host;
};

TEST_F(FileTransfer, PictureArrivesWithItsHeaderAndACounterAfterEveryReceive) {
  const std::string response = PictureResponse(Body(300000));
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());

  const Download d = Fetch(5000 * 1024);
  EXPECT_EQ(d.result, FetchResult::Success);
  EXPECT_EQ(d.status, 200);
  EXPECT_TRUE(d.bytes == response) << "file holds the whole response, zero bytes included";
  EXPECT_EQ(server.Requests().at(0), pictureRequest);

  // One counter per receive call, each at most a block of 64 KiB on, the closing receive
  // included.
  ASSERT_GE(host.progress.size(), response.size() / 65535 + 2);
  long long previous = 0;
  for (const std::string& p : host.progress) {
    const long long counter = CounterOf(p);
    EXPECT_LE(counter - previous, 65535);
    EXPECT_GE(counter, previous);
    previous = counter;
  }
  EXPECT_EQ(previous, static_cast<long long>(response.size()));
  EXPECT_EQ(host.progress.back(), host.progress[host.progress.size() - 2])
      << "the closing receive shows the same total again";
}

TEST_F(FileTransfer, TheLimitIsExactToTheByteWhateverTheBlocks) {
  const std::string response = PictureResponse(Body(100 * 1024));
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  const long long size = static_cast<long long>(response.size());
  for (bool paced : {false, true}) {
    SCOPED_TRACE(paced ? "speed limit on" : "speed limit off");
    host.settings.limitSpeed = paced;
    host.settings.speed = "1000";
    // A response one byte shorter than the limit is whole.
    Download d = Fetch(size + 1);
    EXPECT_EQ(d.result, FetchResult::Success);
    EXPECT_FALSE(d.cutAtLimit);
    EXPECT_TRUE(d.bytes == response);
    // One as long as the limit, or longer, is cut, and nothing beyond the limit is stored.
    for (long long limit : {size, size - 1, size / 2}) {
      d = Fetch(limit);
      EXPECT_EQ(d.result, FetchResult::Success) << limit;
      EXPECT_TRUE(d.cutAtLimit) << limit;
      EXPECT_LT(static_cast<long long>(d.bytes.size()), limit);
      EXPECT_TRUE(d.bytes.compare(0, d.bytes.size(), response, 0, d.bytes.size()) == 0);
    }
  }
}

TEST_F(FileTransfer, ErrorPageIsStoredAndItsStatusReported) {
  const std::string response =
      "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n\r\n<html>Not Found</html>";
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  const Download d = Fetch(1024 * 1024);
  EXPECT_EQ(d.result, FetchResult::Success);
  EXPECT_EQ(d.status, 404);
  EXPECT_EQ(d.bytes, response);
}

TEST_F(FileTransfer, StatusLineSplitOverChunksIsStillRead) {
  LoopbackHttpServer server(address, 80, [](LoopbackHttpServer::Connection& c) {
    c.Send("HTT") && c.Pause(100) && c.Send("P/1.0 20") && c.Pause(100) &&
        c.Send("6 Partial\r\n\r\nxyz");
  });
  ASSERT_TRUE(server.Listening());
  const Download d = Fetch(1024 * 1024);
  EXPECT_EQ(d.result, FetchResult::Success);
  EXPECT_EQ(d.status, 206);
  EXPECT_EQ(d.bytes, "HTTP/1.0 206 Partial\r\n\r\nxyz");
}

TEST_F(FileTransfer, NoResponseAtAllGivesStatusZero) {
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(""));
  ASSERT_TRUE(server.Listening());
  const Download d = Fetch(1024 * 1024);
  EXPECT_EQ(d.result, FetchResult::Success);
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.bytes, "");
  EXPECT_EQ(host.progress, std::vector<std::string>{"Downloaded 0"});
}

TEST_F(FileTransfer, FailedConnectionGivesOneAndLeavesTheFileEmpty) {
  const Download d =
      DownloadToFile(host, host.settings, RawRequest(TestLoopbackAddress(4), 80, pictureRequest),
                     1 << 20, QuickTimeouts());
  EXPECT_EQ(d.result, FetchResult::ConnectFailed);
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.bytes, "");
  EXPECT_TRUE(host.progress.empty());
}

TEST_F(FileTransfer, SpeedLimitPacesOneChunkPerStep) {
  // 20 KB/s: one chunk of at most 1023 bytes per 50 ms.
  const std::string response = PictureResponse(Body(10 * 1024));
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  host.settings.limitSpeed = true;
  host.settings.speed = "20";

  Stopwatch watch;
  const Download d = Fetch(1 << 20);
  const long long elapsed = watch.Milliseconds();
  EXPECT_EQ(d.result, FetchResult::Success);
  EXPECT_TRUE(d.bytes == response);
  const std::size_t receives = host.progress.size();
  ASSERT_GE(receives, response.size() / 1023 + 2);
  EXPECT_GE(elapsed, static_cast<long long>(receives) * 50 - 10);
  EXPECT_LT(elapsed, static_cast<long long>(receives) * 50 + 2000);
  // Rate within the limit of 1023 * 20 bytes per second.
  EXPECT_LE(static_cast<double>(response.size()) * 1000.0 / elapsed, 1023.0 * 20 * 1.02);
  EXPECT_GE(host.pumps, static_cast<int>(receives) * 4) << "pumped during the 10 ms sleeps";
}

TEST_F(FileTransfer, WithoutTheLimitTheSpeedTextIsReadButNotUsed) {
  const std::string response = PictureResponse(Body(100 * 1024));
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  host.settings.limitSpeed = false;
  host.settings.speed = "1";
  Stopwatch watch;
  const Download d = Fetch(1 << 20);
  EXPECT_EQ(d.result, FetchResult::Success);
  EXPECT_LT(watch.Milliseconds(), 5000) << "100 KB at 1 KB/s would take 100 s";

  host.settings.speed = "0";  // would be a division by zero with the limit on
  EXPECT_EQ(Fetch(1 << 20).result, FetchResult::Success);
}

TEST_F(FileTransfer, UnreadableSpeedRaisesAnErrorBeforeConnecting) {
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(PictureResponse("x")));
  ASSERT_TRUE(server.Listening());
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  auto messageFor = [&](bool limit, const std::string& speed) {
    host.settings.limitSpeed = limit;
    host.settings.speed = speed;
    try {
      SendRequestToFile(host, RawRequest(address, 80, pictureRequest), host.settings, 1 << 20, file,
                        QuickTimeouts());
    } catch (const Error& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(messageFor(false, "abc"), "'abc' is not a valid integer value");
  EXPECT_EQ(messageFor(true, ""), "'' is not a valid integer value");
  EXPECT_EQ(messageFor(true, "0"), "'0' is not a valid speed");
  EXPECT_EQ(messageFor(true, "-5"), "'-5' is not a valid speed");
  std::fclose(file);
  EXPECT_EQ(server.ConnectionCount(), 0u);
}

TEST_F(FileTransfer, FileThatCannotBeWrittenIsAFailedTransfer) {
  const std::string name = "dova_fetch_readonly.tmp";
  std::FILE* create = std::fopen(name.c_str(), "wb");
  ASSERT_NE(create, nullptr);
  std::fclose(create);
  std::FILE* readOnly = std::fopen(name.c_str(), "rb");
  ASSERT_NE(readOnly, nullptr);

  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(PictureResponse(Body(5000))));
  ASSERT_TRUE(server.Listening());
  EXPECT_EQ(SendRequestToFile(host, RawRequest(address, 80, pictureRequest), host.settings, 1 << 20,
                              readOnly, QuickTimeouts())
                .result,
            FetchResult::SocketFailed);
  std::fclose(readOnly);
  std::remove(name.c_str());
}

TEST_F(FileTransfer, ClosedWindowAsksToTerminateButTheTransferGoesOn) {
  const std::string response = PictureResponse(Body(20000));
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  host.windowClosed = true;
  const Download d = Fetch(1 << 20);
  EXPECT_EQ(d.result, FetchResult::Success);
  EXPECT_TRUE(d.bytes == response);
  EXPECT_GT(host.terminations, 0);
  EXPECT_EQ(host.terminations, host.pumps);
}

}  // namespace
}  // namespace dova
