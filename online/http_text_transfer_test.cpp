// SendRequestForText against a scripted server on a loopback address, port 80.
#include <gtest/gtest.h>

#include "tests/support/http_test_support.h"

namespace dova {
namespace {

class TextTransfer : public ::testing::Test {
 protected:
  std::string Fetch(const std::string& request, long long limit = 16384) {
    return Outcome(
        SendRequestForText(host, RawRequest(address, 80, request), limit, RoomyTimeouts()));
  }

  const std::string address = TestLoopbackAddress(1);
  const std::string pageRequest = DirectRequest("GET ", address, "/potd");
  FakeFetchHost host;
};

TEST_F(TextTransfer, OneLinePageComesBackWhole) {
  const std::string response =
      "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nhttp://127.0.31.1/pictures/a.jpg\r\n";
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());

  HttpRequest request =
      BuildHttpRequest(ConnectionSettings(), "GET ", "http://" + address + "/potd");
  ASSERT_EQ(request.endpoint.connectHost, address);
  EXPECT_EQ(Outcome(SendRequestForText(host, request, 16384, RoomyTimeouts())), response);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0],
            "GET /potd HTTP/1.0\r\nHost: " + address +
                "\r\nUser-Agent: Dova Wallpaper Changer\r\nConnection: Close\r\n\r\n");
  EXPECT_GT(host.pumps, 0) << "messages are pumped after every receive";
  EXPECT_EQ(host.terminations, 0);
  EXPECT_TRUE(host.progress.empty()) << "text mode shows no byte counter";
}

TEST_F(TextTransfer, ResponsesComeBackAsTheyCameWhateverTheirSeparators) {
  const std::string responses[] = {
      "HTTP/1.0 200 OK\r\n\r\nhttp://a/1.jpg\r\nhttp://a/2.jpg\r\n",  // two lines
      "HTTP/1.0 200 OK\n\nhttp://a/1.jpg",                            // "\n\n"
      "HTTP/1.0 200 OK\r\rhttp://a/1.jpg",                            // "\r\r"
      "HTTP/1.0 200 OK\r\nNo-Separator: here",
      "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<html><body>\r\nNot found\r\n"
      "</body></html>\r\n",
      "",  // closed without a word
  };
  for (const std::string& response : responses) {
    LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
    ASSERT_TRUE(server.Listening());
    EXPECT_EQ(Fetch(pageRequest), response);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], pageRequest);
  }
}

TEST_F(TextTransfer, HeadRequestReturnsTheHeaderWithItsSizeLine) {
  const std::string response =
      "HTTP/1.0 200 OK\r\ncontent-length: 300000\r\ncontent-type: image/jpeg\r\n\r\n";
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  const std::string head = DirectRequest("HEAD ", address, "/pictures/2024-05-01.jpg");
  EXPECT_EQ(Fetch(head), response);
  EXPECT_EQ(server.Requests().at(0),
            "HEAD /pictures/2024-05-01.jpg HTTP/1.0\r\nHost: " + address +
                "\r\nUser-Agent: Dova Wallpaper Changer\r\nConnection: Close\r\n\r\n");
}

TEST_F(TextTransfer, AChunkIsKeptOnlyWhileShorterThanTheRoomLeft) {
  // Chunks of 5, 4, 1 and 1 bytes against a limit of 10: 5 < 10 kept, 4 < 5 kept, then each
  // one-byte chunk equals the room of 1 and is read and dropped.
  LoopbackHttpServer server(address, 80, [](LoopbackHttpServer::Connection& c) {
    c.Send("12345") && c.Pause(150) && c.Send("6789") && c.Pause(150) && c.Send("ab");
  });
  ASSERT_TRUE(server.Listening());
  EXPECT_EQ(Fetch(pageRequest, 10), "123456789");
}

TEST_F(TextTransfer, ResponseLargerThanTheLimitIsCutBelowIt) {
  std::string response = "HTTP/1.0 200 OK\r\nContent-Length: 19981\r\n\r\n";
  response += std::string(20000 - response.size(), 'x');
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  const std::string text = Fetch(pageRequest);
  EXPECT_LT(text.size(), 16384u);
  EXPECT_GE(text.size(), 16384u - 4095u);
  EXPECT_EQ(text.substr(0, 17), "HTTP/1.0 200 OK\r\n");
}

TEST_F(TextTransfer, ResponseEndingExactlyAtTheLimitLosesItsLastChunk) {
  // Sent at once, the 16384 bytes arrive as four chunks of 4095 and one of 4: the last one
  // equals the room left and is dropped.
  std::string response = "HTTP/1.0 200 OK\r\n\r\n";
  response += std::string(16384 - response.size(), 'y');
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply(response));
  ASSERT_TRUE(server.Listening());
  const std::string text = Fetch(pageRequest);
  EXPECT_EQ(text.size(), 16380u);
  EXPECT_EQ(text, response.substr(0, text.size()));
}

TEST_F(TextTransfer, AZeroByteCutsItsChunkOnly) {
  LoopbackHttpServer server(address, 80, [](LoopbackHttpServer::Connection& c) {
    c.Send(std::string("HTTP/1.0 200 OK\r\n\r\nabc\0def", 25)) && c.Pause(150) && c.Send("ghi");
  });
  ASSERT_TRUE(server.Listening());
  EXPECT_EQ(Fetch(pageRequest), "HTTP/1.0 200 OK\r\n\r\nabcghi");
}

TEST_F(TextTransfer, ClosedWindowAsksToTerminateButTheTransferGoesOn) {
  const std::string response = "HTTP/1.0 200 OK\r\n\r\nhttp://a/b.jpg";
  LoopbackHttpServer server(address, 80, [&response](LoopbackHttpServer::Connection& c) {
    c.Pause(200) && c.Send(response);
  });
  ASSERT_TRUE(server.Listening());
  host.windowClosed = true;
  EXPECT_EQ(Fetch(pageRequest), response);
  EXPECT_GT(host.terminations, 1) << "asked after the pumps while waiting and after receiving";
  EXPECT_EQ(host.terminations, host.pumps);
}

TEST_F(TextTransfer, FailedConnectionsGiveOne) {
  // Nobody listens on this address.
  EXPECT_EQ(Outcome(SendRequestForText(host, RawRequest(TestLoopbackAddress(4), 80, pageRequest),
                                       16384, QuickTimeouts())),
            kConnectFailed);
  // A port written into the URL is the port connected to, where nobody listens.
  HttpRequest withPort =
      BuildHttpRequest(ConnectionSettings(), "GET ", "http://" + address + ":81/potd");
  EXPECT_EQ(withPort.endpoint.connectHost, address);
  EXPECT_EQ(withPort.endpoint.connectPort, 81);
  EXPECT_EQ(Outcome(SendRequestForText(host, withPort, 16384, QuickTimeouts())), kConnectFailed);
  EXPECT_EQ(
      Outcome(SendRequestForText(host, RawRequest("", 80, pageRequest), 16384, QuickTimeouts())),
      kConnectFailed);
}

TEST_F(TextTransfer, HostNamesWithControlCharactersAreRefusedBeforeAnyLookup) {
  LoopbackHttpServer server(address, 80, LoopbackHttpServer::Reply("HTTP/1.0 200 OK\r\n\r\n"));
  ASSERT_TRUE(server.Listening());
  for (const std::string& name : {address + "\r\n", address + "\n", "\t" + address,
                                  address + std::string(1, '\0'), address + "\x7f"}) {
    EXPECT_EQ(Outcome(SendRequestForText(host, RawRequest(name, 80, pageRequest), 16384,
                                         QuickTimeouts())),
              kConnectFailed);
  }
  EXPECT_EQ(server.ConnectionCount(), 0u);
}

}  // namespace
}  // namespace dova
