// SendRequestToFile against a scripted server on a loopback address, port 80.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/support/http_test_support.h"
#include "platform/error.h"

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
    return DownloadToFile(host, address, 80, pictureRequest, limit, timeouts);
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
  EXPECT_EQ(d.result, 0);
  EXPECT_EQ(d.status, 200);
  EXPECT_TRUE(d.bytes == response) << "file holds the whole response, zero bytes included";
  EXPECT_EQ(server.Requests().at(0), pictureRequest);

  // One counter per receive call, each at most 1023 bytes on, the closing receive included.
  ASSERT_GE(host.progress.size(), response.size() / 1023 + 2);
  long long previous = 0;
  for (const std::string& p : host.progress) {
    const long long counter = CounterOf(p);
    EXPECT_LE(counter - previous, 1023);
    EXPECT_GE(counter, previous);
    previous = counter;
  }
  EXPECT_EQ(previous, static_cast<long long>(response.size()));
  EXPECT_EQ(host.progress.back(), host.progress[host.progress.size() - 2])
      << "the closing receive shows the same total again";
  EXPECT_EQ(host.settingsReads, 1) << "settings are read once, when the transfer starts";
}

TEST_F(FileTransfer, PictureOfTheMaximumSizeIsCutBelowTheLimit) {
  const std::string body = Body(100 * 1024);
  const std::string response = PictureResponse(body);
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());

  const Download d = Fetch(static_cast<long long>(body.size()));
  EXPECT_EQ(d.result, 0);
  EXPECT_LT(d.bytes.size(), body.size()) << "never as many bytes as the limit";
  EXPECT_GE(d.bytes.size(), body.size() - 2 * 1023);
  EXPECT_TRUE(d.bytes.compare(0, 50000, response, 0, 50000) == 0);
  EXPECT_EQ(CounterOf(host.progress.back()), static_cast<long long>(response.size()))
      << "the counter counts every byte received, stored or not";
}

TEST_F(FileTransfer, ErrorPageIsStoredAndItsStatusReported) {
  const std::string response =
      "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n\r\n<html>Not Found</html>";
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  const Download d = Fetch(1024 * 1024);
  EXPECT_EQ(d.result, 0);
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
  EXPECT_EQ(d.result, 0);
  EXPECT_EQ(d.status, 206);
  EXPECT_EQ(d.bytes, "HTTP/1.0 206 Partial\r\n\r\nxyz");
}

TEST_F(FileTransfer, NoResponseAtAllGivesStatusZero) {
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(""));
  ASSERT_TRUE(server.Listening());
  const Download d = Fetch(1024 * 1024);
  EXPECT_EQ(d.result, 0);
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.bytes, "");
  EXPECT_EQ(host.progress, std::vector<std::string>{"Downloaded 0"});
}

TEST_F(FileTransfer, FailedConnectionGivesOneAndLeavesTheFileEmpty) {
  const Download d = DownloadToFile(host, TestLoopbackAddress(4), 80, pictureRequest, 1 << 20,
                                    QuickTimeouts());
  EXPECT_EQ(d.result, 1);
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
  EXPECT_EQ(d.result, 0);
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
  EXPECT_EQ(d.result, 0);
  EXPECT_LT(watch.Milliseconds(), 5000) << "100 KB at 1 KB/s would take 100 s";

  host.settings.speed = "0";  // would be a division by zero with the limit on
  EXPECT_EQ(Fetch(1 << 20).result, 0);
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
      SendRequestToFile(host, address, 80, pictureRequest, 1 << 20, file, nullptr,
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
  EXPECT_EQ(SendRequestToFile(host, address, 80, pictureRequest, 1 << 20, readOnly, nullptr,
                              QuickTimeouts()),
            4);
  std::fclose(readOnly);
  std::remove(name.c_str());
}

TEST_F(FileTransfer, ClosedWindowAsksToTerminateButTheTransferGoesOn) {
  const std::string response = PictureResponse(Body(20000));
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  host.windowClosed = true;
  const Download d = Fetch(1 << 20);
  EXPECT_EQ(d.result, 0);
  EXPECT_TRUE(d.bytes == response);
  EXPECT_GT(host.terminations, 0);
  EXPECT_EQ(host.terminations, host.pumps);
}

}  // namespace
}  // namespace dova
