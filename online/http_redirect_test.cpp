// Redirects and CONNECT tunnels against scripted servers on loopback addresses of their own:
// chains over two hosts, too many hops, and a proxy of the test's own that refuses, garbles or
// drops the tunnel.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "online/http_fetcher.h"
#include "tests/support/http_test_support.h"

namespace dova {
namespace {

// 127.0.60.n natively, 127.0.61.n in the Windows build.
std::string Address(int n) {
#ifdef _WIN32
  return "127.0.61." + std::to_string(n);
#else
  return "127.0.60." + std::to_string(n);
#endif
}

// Answers by the request's target; anything else gets a 404.
LoopbackHttpServer::Handler Routes(std::map<std::string, std::string> routes) {
  return [routes = std::move(routes)](LoopbackHttpServer::Connection& c) {
    const std::string& request = c.Request();
    const std::size_t start = request.find(' ') + 1;
    const auto it = routes.find(request.substr(start, request.find(' ', start) - start));
    c.Send(it != routes.end() ? it->second : "HTTP/1.0 404 Not Found\r\n\r\nNot Found");
  };
}

std::string Redirect(int status, const std::string& location, const std::string& body = "") {
  return "HTTP/1.0 " + std::to_string(status) + " Moved\r\nLocation: " + location +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The first lines of the requests `server` received.
std::vector<std::string> RequestLines(const LoopbackHttpServer& server) {
  std::vector<std::string> lines;
  for (const std::string& request : server.Requests())
    lines.push_back(request.substr(0, request.find("\r\n")));
  return lines;
}

TEST(Redirects, ChainsOfRelativeAbsoluteAndOtherHostAddressesEndInTheLastAnswer) {
  const std::string final = "HTTP/1.0 200 OK\r\nContent-Length: 7\r\n\r\npicture";
  LoopbackHttpServer first(
      Address(1), 80,
      Routes({{"/a/start", Redirect(301, "../b/next?x=1", std::string(5000, 'r'))},
              {"/b/next?x=1", Redirect(302, "http://" + Address(2) + "/c")}}));
  LoopbackHttpServer second(Address(2), 80,
                            Routes({{"/c", Redirect(307, "/final")}, {"/final", final}}));
  ASSERT_TRUE(first.Listening() && second.Listening());
  FakeFetchHost host;
  const std::string start = "http://" + Address(1) + "/a/start";

  TextResponse text = FetchText(host, host.settings, "HEAD ", start, 16384, RoomyTimeouts());
  EXPECT_EQ(Outcome(text), final);
  EXPECT_EQ(RequestLines(first),
            std::vector<std::string>({"HEAD /a/start HTTP/1.0", "HEAD /b/next?x=1 HTTP/1.0"}));
  EXPECT_EQ(RequestLines(second),
            std::vector<std::string>({"HEAD /c HTTP/1.0", "HEAD /final HTTP/1.0"}));
  EXPECT_NE(second.Requests()[0].find("\r\nHost: " + Address(2) + "\r\n"), std::string::npos);

  // Into a file: nothing of the redirects is written, and the limit is the last answer's alone
  // (the first redirect is far longer than it), exact to the byte.
  auto download = [&](long long limit) {
    return DownloadWith([&](std::FILE* file) {
      return FetchToFile(host, host.settings, start, limit, file, RoomyTimeouts());
    });
  };
  Download d = download(static_cast<long long>(final.size()) + 1);
  EXPECT_EQ(d.result, FetchResult::Success);
  EXPECT_EQ(d.status, 200);
  EXPECT_FALSE(d.cutAtLimit);
  EXPECT_EQ(d.bytes, final);
  d = download(static_cast<long long>(final.size()));
  EXPECT_TRUE(d.cutAtLimit);

  // A Location that is no address we can ask: the redirect is the answer, and no picture.
  LoopbackHttpServer odd(Address(3), 80, Routes({{"/x", Redirect(302, "ftp://files/x")}}));
  text =
      FetchText(host, host.settings, "GET ", "http://" + Address(3) + "/x", 16384, RoomyTimeouts());
  EXPECT_EQ(ParseHttpStatus(text.text), 302);
  d = DownloadWith([&](std::FILE* file) {
    return FetchToFile(host, host.settings, "http://" + Address(3) + "/x", 1000, file,
                       RoomyTimeouts());
  });
  EXPECT_EQ(d.result, FetchResult::SocketFailed);
  EXPECT_EQ(d.bytes, "");
}

TEST(Redirects, FiveHopsAreFollowedTheSixthIsTooMany) {
  std::map<std::string, std::string> routes;
  for (int i = 0; i < 6; ++i)
    routes["/" + std::to_string(i)] = Redirect(302, std::to_string(i + 1));
  routes["/6"] = "HTTP/1.0 200 OK\r\n\r\nend";
  LoopbackHttpServer server(Address(4), 80, Routes(routes));
  ASSERT_TRUE(server.Listening());
  FakeFetchHost host;
  const std::string base = "http://" + Address(4) + "/";

  EXPECT_EQ(Outcome(FetchText(host, host.settings, "GET ", base + "1", 16384, RoomyTimeouts())),
            "HTTP/1.0 200 OK\r\n\r\nend");
  const TextResponse tooMany =
      FetchText(host, host.settings, "GET ", base + "0", 16384, RoomyTimeouts());
  EXPECT_NE(tooMany.result, FetchResult::Success);
  EXPECT_EQ(tooMany.failure, FetchFailure::TooManyRedirects);
  EXPECT_EQ(server.Requests().size(), 6u + 6u);
}

TEST(Redirects, EveryHopCountsAgainstTheSameDeadline) {
  // Each answer alone comes well within the deadline; the two together do not. Two seconds to
  // spare either way, for a busy machine.
  auto slowly = [](std::string answer) {
    return [answer](LoopbackHttpServer::Connection& c) {
      if (c.Pause(4000)) c.Send(answer);
    };
  };
  LoopbackHttpServer server(Address(6), 80, [&](LoopbackHttpServer::Connection& c) {
    const bool first = c.Request().rfind("GET /a ", 0) == 0;
    slowly(first ? Redirect(302, "/b") : "HTTP/1.0 200 OK\r\n\r\nend")(c);
  });
  ASSERT_TRUE(server.Listening());
  FakeFetchHost host;
  FetchTimeouts timeouts = QuickTimeouts();
  timeouts.silenceMs = 10000;
  timeouts.baseDeadlineMs = 6000;
  timeouts.minimumRate = 1000000000;
  const std::string base = "http://" + Address(6);
  EXPECT_EQ(Outcome(FetchText(host, host.settings, "GET ", base + "/b", 16384, timeouts)),
            "HTTP/1.0 200 OK\r\n\r\nend");
  EXPECT_EQ(Outcome(FetchText(host, host.settings, "GET ", base + "/a", 16384, timeouts)),
            kSocketFailed);
  EXPECT_EQ(server.Requests().size(), 3u);
}

// A CONNECT proxy of the test's own on port 80 that answers `answer` (or closes when it is
// empty) and records what it was asked.
TEST(Tunnel, TheProxysRefusalsAreFailedConnectionsAndA407IsNamed) {
  ConnectionSettings settings;
  settings.useProxy = true;
  settings.proxyServer = Address(5);
  settings.proxyPort = "80";
  settings.proxyNeedsLogin = true;
  settings.login = "user";
  settings.password = "secret";
  settings.speed = "10";
  const std::string origin = "https://pictures.example:8443/today.jpg";
  const std::string connect = ConnectRequest(settings, "pictures.example", 8443);
  struct Case {
    std::string answer;
    FetchFailure failure;
  };
  const Case cases[] = {
      {"HTTP/1.0 407 Proxy Authentication Required\r\n"
       "Proxy-Authenticate: Basic realm=\"x\"\r\n\r\n",
       FetchFailure::ProxyLogin},
      {"SSH-2.0-OpenSSH\r\n\r\n", FetchFailure::None},
      {"HTTP/1.0 403 Forbidden\r\n\r\n", FetchFailure::None},
      {"HTTP/1.0 200 Conn", FetchFailure::None},  // closes in the middle of its answer
      {"", FetchFailure::None},                   // closes at once
      // The tunnel opens, and the origin behind it closes: no TLS session.
      {"HTTP/1.0 200 Connection established\r\n\r\n", FetchFailure::TlsFailed},
  };
  // Wine on a busy machine can take more than a second to connect.
  FetchTimeouts timeouts = QuickTimeouts();
  timeouts.connectMs = 10000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    LoopbackHttpServer proxy(Address(5), 80, LoopbackHttpServer::Reply(c.answer));
    ASSERT_TRUE(proxy.Listening());
    FakeFetchHost host;
    const TextResponse text = FetchText(host, settings, "GET ", origin, 16384, timeouts);
    EXPECT_EQ(text.result, FetchResult::ConnectFailed);
    EXPECT_EQ(text.failure, c.failure);
    Download d = DownloadWith([&](std::FILE* file) {
      return FetchToFile(host, settings, origin, 100000, file, timeouts);
    });
    EXPECT_EQ(d.result, FetchResult::ConnectFailed);
    EXPECT_EQ(d.bytes, "");
    EXPECT_EQ(proxy.Requests(), std::vector<std::string>({connect, connect}));
  }
}

}  // namespace
}  // namespace dova
