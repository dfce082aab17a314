#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "online/http_fetcher.h"
#include "platform/error.h"
#include "tests/support/http_test_support.h"

namespace dova {
namespace {

const char kAgentLine[] = "\r\nUser-Agent: Dova Wallpaper Changer\r\n";

ConnectionSettings Proxy(const std::string& server, const std::string& port) {
  ConnectionSettings s;
  s.useProxy = true;
  s.proxyServer = server;
  s.proxyPort = port;
  return s;
}

TEST(SplitHttpUrl, HostIsUpToTheFirstSlashAfterTheScheme) {
  std::string host, path;
  SplitHttpUrl("http://example.com/pictures/today.jpg", host, path);
  EXPECT_EQ(host, "example.com");
  EXPECT_EQ(path, "/pictures/today.jpg");

  SplitHttpUrl("http://example.com", host, path);
  EXPECT_EQ(host, "example.com");
  EXPECT_EQ(path, "/");

  SplitHttpUrl("http://example.com/", host, path);
  EXPECT_EQ(path, "/");

  // A port is not part of the host.
  SplitHttpUrl("http://example.com:8080/a?b=c/d", host, path);
  EXPECT_EQ(host, "example.com");
  EXPECT_EQ(path, "/a?b=c/d");

  // The scheme is not checked, only skipped.
  SplitHttpUrl("HTTP://Example.COM/x", host, path);
  EXPECT_EQ(host, "Example.COM");
  SplitHttpUrl("ftp://xy/z", host, path);
  EXPECT_EQ(host, "y");
  EXPECT_EQ(path, "/z");

  SplitHttpUrl("http://", host, path);
  EXPECT_EQ(host, "");
  EXPECT_EQ(path, "/");
  SplitHttpUrl("", host, path);
  EXPECT_EQ(host, "");
  EXPECT_EQ(path, "/");
}

TEST(BuildHttpRequest, DirectRequestsGoToPort80WithThePath) {
  ConnectionSettings s;  // the check box may say anything: the run's choice counts
  s.useProxy = true;
  s.proxyNeedsLogin = true;
  s.proxyPort = "not read";
  HttpRequest r = BuildHttpRequest(Direct(s), "GET ", "http://www.example.com/potd/index.txt");
  EXPECT_EQ(r.endpoint.connectHost, "www.example.com");
  EXPECT_EQ(r.endpoint.connectPort, 80);
  EXPECT_EQ(r.endpoint.target, "/potd/index.txt");
  EXPECT_EQ(r.endpoint.hostHeader, "www.example.com");
  EXPECT_EQ(r.text,
            "GET /potd/index.txt HTTP/1.0\r\nHost: www.example.com\r\n"
            "User-Agent: Dova Wallpaper Changer\r\nConnection: Close\r\n\r\n");

  r = BuildHttpRequest(Direct(s), "HEAD ", "http://www.example.com");
  EXPECT_EQ(r.text,
            "HEAD / HTTP/1.0\r\nHost: www.example.com\r\n"
            "User-Agent: Dova Wallpaper Changer\r\nConnection: Close\r\n\r\n");
}

TEST(BuildHttpRequest, ProxyRequestsCarryTheAbsoluteTargetInLowerCaseScheme) {
  HttpRequest r = BuildHttpRequest(ThroughProxy(Proxy("proxy.local", "3128")), "GET ",
                                   "HTTP://Pictures.Example.com/2024/01.jpg");
  EXPECT_EQ(r.endpoint.connectHost, "proxy.local");
  EXPECT_EQ(r.endpoint.connectPort, 3128);
  EXPECT_EQ(r.endpoint.target, "http://Pictures.Example.com/2024/01.jpg");
  EXPECT_EQ(r.endpoint.hostHeader, "Pictures.Example.com");
  EXPECT_EQ(r.text, std::string("GET http://Pictures.Example.com/2024/01.jpg HTTP/1.0\r\n"
                                "Host: Pictures.Example.com") +
                        kAgentLine + "Connection: Close\r\n\r\n");

  // Without a path the target is the URL as written.
  r = BuildHttpRequest(ThroughProxy(Proxy("p", "8080")), "HEAD ", "http://example.com");
  EXPECT_EQ(r.endpoint.target, "http://example.com");
  EXPECT_EQ(r.text.substr(0, 35), "HEAD http://example.com HTTP/1.0\r\nH");
}

TEST(BuildHttpRequest, ProxyLoginAddsTheCredentialLinesAfterTheAgent) {
  ConnectionSettings s = Proxy("proxy", "8080");
  s.proxyNeedsLogin = true;
  s.login = "user";
  s.password = "pass";
  HttpRequest r = BuildHttpRequest(ThroughProxy(s), "GET ", "http://a.example/b");
  EXPECT_EQ(r.text,
            "GET http://a.example/b HTTP/1.0\r\nHost: a.example\r\n"
            "User-Agent: Dova Wallpaper Changer\r\n"
            "Proxy-Authorization: Basic dXNlcjpwYXNz\r\nProxy-Connection: Close\r\n"
            "Connection: Close\r\n\r\n");
}

TEST(ProxyAuthorizationLines, OnlyWithProxyAndLoginBothOn) {
  ConnectionSettings s = Proxy("proxy", "8080");
  s.login = "user";
  s.password = "pass";
  EXPECT_EQ(ProxyAuthorizationLines(ThroughProxy(s)), "") << "login option off";
  s.proxyNeedsLogin = true;
  EXPECT_EQ(ProxyAuthorizationLines(Direct(s)), "") << "this run goes direct";
  EXPECT_EQ(ProxyAuthorizationLines(ThroughProxy(s)),
            "Proxy-Authorization: Basic dXNlcjpwYXNz\r\nProxy-Connection: Close\r\n");

  // Empty login and password still send the header: the encoding of ":".
  s.login.clear();
  s.password.clear();
  EXPECT_EQ(ProxyAuthorizationLines(ThroughProxy(s)),
            "Proxy-Authorization: Basic Og==\r\nProxy-Connection: Close\r\n");

  // ANSI bytes go as they are; CR and LF are harmless inside the token.
  s.login = "\xc8\xe2\xe0\xed";  // "Иван" in Windows-1251
  s.password = "a\r\nb";
  EXPECT_EQ(ProxyAuthorizationLines(ThroughProxy(s)),
            "Proxy-Authorization: Basic yOLg7TphDQpi\r\nProxy-Connection: Close\r\n");
}

TEST(BuildHttpRequest, ProxyWithoutLoginSendsNoCredentialLines) {
  ConnectionSettings s = Proxy("proxy", "8080");
  s.login = "user";
  s.password = "pass";
  HttpRequest r = BuildHttpRequest(ThroughProxy(s), "GET ", "http://a/b");
  EXPECT_EQ(r.text.find("Proxy-"), std::string::npos);
  EXPECT_EQ(r.text,
            "GET http://a/b HTTP/1.0\r\nHost: a\r\nUser-Agent: Dova Wallpaper Changer\r\n"
            "Connection: Close\r\n\r\n");
}

TEST(BuildHttpRequest, UnreadableProxyPortRaisesAnError) {
  auto messageFor = [](const std::string& port) {
    try {
      BuildHttpRequest(ThroughProxy(Proxy("proxy", port)), "GET ", "http://a/b");
    } catch (const Error& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(messageFor("abc"), "'abc' is not a valid integer value");
  EXPECT_EQ(messageFor(""), "'' is not a valid integer value");
  EXPECT_EQ(messageFor("0"), "'0' is not a valid port number");
  EXPECT_EQ(messageFor("65536"), "'65536' is not a valid port number");
  EXPECT_EQ(messageFor("-80"), "'-80' is not a valid port number");
  EXPECT_EQ(BuildHttpRequest(ThroughProxy(Proxy("proxy", "65535")), "GET ", "http://a/b")
                .endpoint.connectPort,
            65535);
  // The port is not read for a direct request.
  EXPECT_NO_THROW(BuildHttpRequest(Direct(Proxy("proxy", "abc")), "GET ", "http://a/b"));
}

TEST(BuildHttpRequest, ControlCharactersNeverReachTheRequest) {
  const char* urls[] = {"http://a.example/x\r\nX-Evil: 1",
                        "http://a.example\r\nX: y/z",
                        "http://a\nb/",
                        "http://a/b\tc",
                        "http://a/b\x7f",
                        "http://a/\x01"};
  for (const char* url : urls) {
    EXPECT_THROW(BuildHttpRequest(ConnectionSettings(), "GET ", url), Error) << url;
    EXPECT_THROW(BuildHttpRequest(ThroughProxy(Proxy("p", "8080")), "GET ", url), Error) << url;
  }
  std::string withZero("http://a/b\0c", 12);
  EXPECT_THROW(BuildHttpRequest(ConnectionSettings(), "GET ", withZero), Error);

  // The proxy server text is used as a host name: refused too when a proxy is used.
  EXPECT_THROW(BuildHttpRequest(ThroughProxy(Proxy("proxy\r\nX: y", "8080")), "GET ", "http://a/b"),
               Error);
  EXPECT_NO_THROW(BuildHttpRequest(Direct(Proxy("proxy\r\nX: y", "8080")), "GET ", "http://a/b"));

  try {
    BuildHttpRequest(ConnectionSettings(), "GET ", "http://a/\r\n");
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "'http://a/#13#10' contains a control character");
  }
  // Bytes above 0x7F are ordinary characters of the ANSI code page.
  EXPECT_NO_THROW(BuildHttpRequest(ConnectionSettings(), "GET ", "http://a/\xe0\xff"));
}

TEST(MaximumPictureBytes, KilobytesWithZeroForOneGibibyte) {
  ConnectionSettings s;
  s.maximumSize = "200";
  EXPECT_EQ(MaximumPictureBytes(s), 204800);
  s.maximumSize = "0";
  EXPECT_EQ(MaximumPictureBytes(s), 1073741824LL);
  for (const char* bad : {"", "-1", "abc", "2147483648"}) {
    s.maximumSize = bad;
    EXPECT_THROW(MaximumPictureBytes(s), Error) << bad;
  }
}

TEST(ParseHttpStatus, ReadsTheCodeOfTheFirstLine) {
  EXPECT_EQ(ParseHttpStatus("HTTP/1.0 200 OK\r\n"), 200);
  EXPECT_EQ(ParseHttpStatus("HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nabc"), 404);
  EXPECT_EQ(ParseHttpStatus("HTTP/1.0 407 Proxy Authentication Required\n"), 407);
  EXPECT_EQ(ParseHttpStatus("HTTP/1.0 204\r\n"), 204);
  EXPECT_EQ(ParseHttpStatus("HTTP/1.0  301 Moved"), 301);
  EXPECT_EQ(ParseHttpStatus("HTTP/1.0 200"), 200);
  EXPECT_EQ(ParseHttpStatus(""), 0);
  EXPECT_EQ(ParseHttpStatus("HTTP/1.0"), 0);
  EXPECT_EQ(ParseHttpStatus("HTTP/1.0 20"), 0);
  EXPECT_EQ(ParseHttpStatus("HTTP/1.0 2000 OK"), 0);
  EXPECT_EQ(ParseHttpStatus("http/1.0 200 OK"), 0);
  EXPECT_EQ(ParseHttpStatus("HTTP/x.0 200 OK"), 0);
  EXPECT_EQ(ParseHttpStatus("\xff\xd8\xff\xe0 JFIF"), 0);
}

// The version project() sets in CMakeLists.txt.
std::string ProjectVersion() {
  std::ifstream in(std::string(DOVA_SOURCE_DIR) + "/CMakeLists.txt");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t at = text.find("project(Dova VERSION ");
  if (at == std::string::npos) return "<no version>";
  const std::size_t start = at + 21;
  return text.substr(start, text.find_first_of(" )", start) - start);
}

TEST(BuildHttpRequest, PortsHttpsAndTheTunnel) {
  const std::string agent = "User-Agent: Dova-Wallpaper-Changer/" + ProjectVersion() + "\r\n";
  EXPECT_EQ(HttpsUserAgent(), "Dova-Wallpaper-Changer/" + ProjectVersion());

  // http with a port: connected to that port, named in the Host line, the agent as always.
  HttpRequest r = BuildHttpRequest(ConnectionSettings(), "GET ", "http://example.com:8080/x?a=1");
  EXPECT_EQ(r.endpoint.connectHost, "example.com");
  EXPECT_EQ(r.endpoint.connectPort, 8080);
  EXPECT_FALSE(r.endpoint.tls);
  EXPECT_EQ(r.text, std::string("GET /x?a=1 HTTP/1.0\r\nHost: example.com:8080") + kAgentLine +
                        "Connection: Close\r\n\r\n");

  // https: port 443, TLS for the host, the agent with the version.
  r = BuildHttpRequest(ConnectionSettings(), "HEAD ", "HTTPS://Pics.example/d/a.jpg");
  EXPECT_EQ(r.endpoint.connectHost, "Pics.example");
  EXPECT_EQ(r.endpoint.connectPort, 443);
  EXPECT_TRUE(r.endpoint.tls);
  EXPECT_EQ(r.endpoint.tlsHost, "Pics.example");
  EXPECT_EQ(r.endpoint.tunnelRequest, "");
  EXPECT_EQ(r.text, "HEAD /d/a.jpg HTTP/1.0\r\nHost: Pics.example\r\n" + agent +
                        "Connection: Close\r\n\r\n");

  // https through a proxy with a login: the credentials go in the CONNECT only, the request
  // inside the tunnel is the origin's own.
  ConnectionSettings s = Proxy("proxy.local", "3128");
  s.proxyNeedsLogin = true;
  s.login = "user";
  s.password = "pass";
  r = BuildHttpRequest(ThroughProxy(s), "GET ", "https://pics.example:8443/a.jpg");
  EXPECT_EQ(r.endpoint.connectHost, "proxy.local");
  EXPECT_EQ(r.endpoint.connectPort, 3128);
  EXPECT_EQ(r.endpoint.tlsHost, "pics.example");
  EXPECT_EQ(r.endpoint.tunnelRequest,
            "CONNECT pics.example:8443 HTTP/1.0\r\nHost: pics.example:8443\r\n" + agent +
                "Proxy-Authorization: Basic dXNlcjpwYXNz\r\n\r\n");
  EXPECT_EQ(r.endpoint.tunnelRequest, ConnectRequest(ThroughProxy(s), "pics.example", 8443));
  EXPECT_EQ(r.text, "GET /a.jpg HTTP/1.0\r\nHost: pics.example:8443\r\n" + agent +
                        "Connection: Close\r\n\r\n");
  s.proxyNeedsLogin = false;
  EXPECT_EQ(ConnectRequest(ThroughProxy(s), "h", 443),
            "CONNECT h:443 HTTP/1.0\r\nHost: h:443\r\n" + agent + "\r\n");
}

}  // namespace
}  // namespace dova
