// The fetcher through a real HTTP proxy: Debian's tinyproxy with Basic authentication, started
// for this suite on a loopback address of its own and stopped at its end. Skipped when tinyproxy
// is not installed. The exact bytes of the proxy form are checked against a recording server.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/http_test_support.h"

namespace dova {
namespace {

const std::uint16_t kProxyPort = 8631;

std::string ProxyAddress() { return TestLoopbackAddress(2); }
std::string ProxyDirectory() { return "/tmp/dova-tinyproxy-" + ProxyAddress(); }

// Runs a /bin/sh script without waiting for what it leaves in the background. The Windows build
// runs under Wine, whose "start /unix" starts a program of the host system; the script must not
// contain double quotes.
void RunShell(const std::string& script) {
#ifdef _WIN32
  std::system(("start /unix /bin/sh -c \"" + script + "\"").c_str());
#else
  std::system(script.c_str());
#endif
}

bool TinyproxyInstalled() {
#ifdef _WIN32
  for (const char* path : {"Z:\\usr\\bin\\tinyproxy", "Z:\\usr\\sbin\\tinyproxy"}) {
#else
  for (const char* path :
       {"/usr/bin/tinyproxy", "/usr/sbin/tinyproxy", "/usr/local/bin/tinyproxy"}) {
#endif
    if (std::FILE* f = std::fopen(path, "rb")) {
      std::fclose(f);
      return true;
    }
  }
  return false;
}

// True once something accepts connections on the proxy's port (or, with `wantOpen` off, once
// nothing does), within five seconds.
bool WaitForProxy(bool wantOpen) {
  SocketLibrary library;
  Ipv4Address address;
  if (!ParseIpv4(ProxyAddress(), address)) return false;
  for (int i = 0; i < 100; ++i) {
    TcpSocket s;
    bool open = s.Open() && s.StartConnect(address, kProxyPort) &&
                s.WaitConnected(200) == WaitResult::Ready;
    if (open == wantOpen) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

void StopTinyproxy() {
  const std::string dir = ProxyDirectory();
  RunShell("if [ -f " + dir + "/tinyproxy.pid ]; then kill $(cat " + dir +
           "/tinyproxy.pid) 2>/dev/null; rm -f " + dir + "/tinyproxy.pid; fi");
}

class ThroughTinyproxy : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!TinyproxyInstalled()) return;
    StopTinyproxy();  // one left over by an interrupted run
    WaitForProxy(false);
    const std::string dir = ProxyDirectory();
    // In the foreground (-d), killed by its process id at the end of the suite.
    RunShell("mkdir -p " + dir + " && cd " + dir + " && printf '" + "Port " +
             std::to_string(kProxyPort) + "\\nListen " + ProxyAddress() +
             "\\nTimeout 30\\nMaxClients 20\\nAllow 127.0.0.0/8\\nBasicAuth user pass\\n"
             "DisableViaHeader Yes\\nLogLevel Info\\n' > tinyproxy.conf && "
             "(tinyproxy -d -c tinyproxy.conf > tinyproxy.log 2>&1 & echo $! > tinyproxy.pid)");
    started_ = WaitForProxy(true);
  }

  static void TearDownTestSuite() {
    if (!started_) return;
    StopTinyproxy();
    WaitForProxy(false);
    started_ = false;
  }

  void SetUp() override {
    if (!TinyproxyInstalled()) GTEST_SKIP() << "tinyproxy is not installed";
    ASSERT_TRUE(started_) << "tinyproxy did not start; see " << ProxyDirectory()
                          << "/tinyproxy.log";
    host.settings.proxyServer = ProxyAddress();
    host.settings.proxyPort = std::to_string(kProxyPort);
    host.settings.proxyNeedsLogin = true;
    host.settings.login = "user";
    host.settings.password = "pass";
  }

  static bool started_;
  const std::string origin = TestLoopbackAddress(1);
  const std::string pictureUrl = "http://" + origin + "/pictures/today.jpg";
  FakeFetchHost host;
};

bool ThroughTinyproxy::started_ = false;

std::string Picture() {
  std::string bytes = "\xff\xd8\xff\xe0";
  for (int i = 0; i < 40000; ++i) bytes.push_back(static_cast<char>(i * 7 % 251));
  return bytes + "\xff\xd9";
}

LoopbackHttpServer::Handler PictureSite() {
  return [](LoopbackHttpServer::Connection& c) {
    const std::string picture = Picture();
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                             std::to_string(picture.size()) + "\r\n\r\n";
    c.Send(c.Request().rfind("HEAD ", 0) == 0 ? head : head + picture);
  };
}

std::string BodyOf(const std::string& response) {
  const std::size_t end = response.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : response.substr(end + 4);
}

TEST_F(ThroughTinyproxy, RightLoginBringsThePictureThrough) {
  LoopbackHttpServer site(origin, 80, PictureSite());
  ASSERT_TRUE(site.Listening());

  HttpRequest head = BuildHttpRequest(ThroughProxy(host.settings), "HEAD ", pictureUrl);
  EXPECT_EQ(head.endpoint.connectHost, ProxyAddress());
  EXPECT_EQ(head.endpoint.connectPort, kProxyPort);
  const std::string answer = Outcome(SendRequestForText(host, head, 16384, RoomyTimeouts()));
  EXPECT_EQ(ParseHttpStatus(answer), 200) << answer;
  EXPECT_NE(answer.find("Content-Length: " + std::to_string(Picture().size())), std::string::npos)
      << answer;

  HttpRequest get = BuildHttpRequest(ThroughProxy(host.settings), "GET ", pictureUrl);
  const Download d = DownloadToFile(host, host.settings, get, 5000 * 1024, RoomyTimeouts());
  EXPECT_EQ(d.result, FetchResult::Success);
  EXPECT_EQ(d.status, 200);
  EXPECT_TRUE(BodyOf(d.bytes) == Picture()) << "picture bytes arrive unchanged";

  // The proxy asked the origin for the path, naming the origin host.
  ASSERT_EQ(site.Requests().size(), 2u);
  EXPECT_EQ(site.Requests()[1].rfind("GET /pictures/today.jpg HTTP/1.", 0), 0u)
      << site.Requests()[1];
  EXPECT_NE(site.Requests()[1].find("Host: " + origin), std::string::npos);
}

// tinyproxy 1.11 answers credentials it does not accept with 401 and missing ones with 407.
bool IsProxyRefusal(int status) { return status == 401 || status == 407; }

TEST_F(ThroughTinyproxy, WrongLoginGetsTheProxysRefusal) {
  LoopbackHttpServer site(origin, 80, PictureSite());
  ASSERT_TRUE(site.Listening());
  host.settings.password = "wrong";
  HttpRequest get = BuildHttpRequest(ThroughProxy(host.settings), "GET ", pictureUrl);
  const std::string answer = Outcome(SendRequestForText(host, get, 16384, RoomyTimeouts()));
  EXPECT_TRUE(IsProxyRefusal(ParseHttpStatus(answer))) << answer;

  const Download d = DownloadToFile(host, host.settings, get, 5000 * 1024, RoomyTimeouts());
  EXPECT_EQ(d.result, FetchResult::Success)
      << "the exchange itself worked; the caller judges the status";
  EXPECT_TRUE(IsProxyRefusal(d.status)) << d.status;
  EXPECT_EQ(site.ConnectionCount(), 0u);
}

TEST_F(ThroughTinyproxy, WithoutTheLoginOptionNoCredentialsAreSent) {
  LoopbackHttpServer site(origin, 80, PictureSite());
  ASSERT_TRUE(site.Listening());
  host.settings.proxyNeedsLogin = false;  // login and password still filled in
  HttpRequest get = BuildHttpRequest(ThroughProxy(host.settings), "GET ", pictureUrl);
  EXPECT_EQ(get.text.find("Proxy-"), std::string::npos);
  const std::string answer = Outcome(SendRequestForText(host, get, 16384, RoomyTimeouts()));
  EXPECT_EQ(ParseHttpStatus(answer), 407) << answer;
  EXPECT_NE(answer.find("Proxy-Authenticate: Basic"), std::string::npos) << answer;
  EXPECT_EQ(site.ConnectionCount(), 0u);
}

// A recording server standing in for the proxy: the bytes that reach a proxy, exactly.
TEST(ProxyRequestBytes, AbsoluteTargetOriginHostAndCredentials) {
  const std::string proxy = TestLoopbackAddress(5);
  LoopbackHttpServer recorder(proxy, 8080, LoopbackHttpServer::Reply("HTTP/1.0 200 OK\r\n\r\nok"));
  ASSERT_TRUE(recorder.Listening());
  FakeFetchHost host;
  host.settings.proxyServer = proxy;
  host.settings.proxyPort = "8080";
  host.settings.proxyNeedsLogin = true;
  host.settings.login = "user";
  host.settings.password = "pass";

  HttpRequest withLogin =
      BuildHttpRequest(ThroughProxy(host.settings), "GET ", "HTTP://pictures.example/a.jpg");
  EXPECT_EQ(Outcome(SendRequestForText(host, withLogin, 16384, RoomyTimeouts())),
            "HTTP/1.0 200 OK\r\n\r\nok");
  host.settings.proxyNeedsLogin = false;
  HttpRequest withoutLogin =
      BuildHttpRequest(ThroughProxy(host.settings), "HEAD ", "http://pictures.example");
  Outcome(SendRequestForText(host, withoutLogin, 16384, RoomyTimeouts()));

  ASSERT_EQ(recorder.Requests().size(), 2u);
  EXPECT_EQ(recorder.Requests()[0],
            "GET http://pictures.example/a.jpg HTTP/1.0\r\nHost: pictures.example\r\n"
            "User-Agent: Dova Wallpaper Changer\r\n"
            "Proxy-Authorization: Basic dXNlcjpwYXNz\r\nProxy-Connection: Close\r\n"
            "Connection: Close\r\n\r\n");
  EXPECT_EQ(recorder.Requests()[1],
            "HEAD http://pictures.example HTTP/1.0\r\nHost: pictures.example\r\n"
            "User-Agent: Dova Wallpaper Changer\r\nConnection: Close\r\n\r\n");
}

TEST(ProxyRequestBytes, ProxyThatDoesNotAnswerIsAFailedConnection) {
  FakeFetchHost host;
  host.settings.proxyServer = TestLoopbackAddress(6);
  host.settings.proxyPort = "3128";
  HttpRequest get =
      BuildHttpRequest(ThroughProxy(host.settings), "GET ", "http://pictures.example/a.jpg");
  EXPECT_EQ(Outcome(SendRequestForText(host, get, 16384, QuickTimeouts())), kConnectFailed);
}

}  // namespace
}  // namespace dova
