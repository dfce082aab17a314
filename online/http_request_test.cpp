#include <gtest/gtest.h>

#include "tests/support/fake_fetch_host.h"
#include "online/http_fetcher.h"
#include "platform/error.h"

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

  // A port stays part of the host (and then fails the name lookup).
  SplitHttpUrl("http://example.com:8080/a?b=c/d", host, path);
  EXPECT_EQ(host, "example.com:8080");
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
  HttpRequest r = BuildHttpRequest(s, "GET ", "http://www.example.com/potd/index.txt", false);
  EXPECT_EQ(r.endpoint.connectHost, "www.example.com");
  EXPECT_EQ(r.endpoint.connectPort, 80);
  EXPECT_EQ(r.endpoint.target, "/potd/index.txt");
  EXPECT_EQ(r.endpoint.hostHeader, "www.example.com");
  EXPECT_EQ(r.text,
            "GET /potd/index.txt HTTP/1.0\r\nHost: www.example.com\r\n"
            "User-Agent: Dova Wallpaper Changer\r\nConnection: Close\r\n\r\n");

  r = BuildHttpRequest(s, "HEAD ", "http://www.example.com", false);
  EXPECT_EQ(r.text,
            "HEAD / HTTP/1.0\r\nHost: www.example.com\r\n"
            "User-Agent: Dova Wallpaper Changer\r\nConnection: Close\r\n\r\n");
}

TEST(BuildHttpRequest, ProxyRequestsCarryTheAbsoluteTargetInLowerCaseScheme) {
  HttpRequest r = BuildHttpRequest(Proxy("proxy.local", "3128"), "GET ",
                                   "HTTP://Pictures.Example.com/2024/01.jpg", true);
  EXPECT_EQ(r.endpoint.connectHost, "proxy.local");
  EXPECT_EQ(r.endpoint.connectPort, 3128);
  EXPECT_EQ(r.endpoint.target, "http://Pictures.Example.com/2024/01.jpg");
  EXPECT_EQ(r.endpoint.hostHeader, "Pictures.Example.com");
  EXPECT_EQ(r.text,
            std::string("GET http://Pictures.Example.com/2024/01.jpg HTTP/1.0\r\n"
                        "Host: Pictures.Example.com") +
                kAgentLine + "Connection: Close\r\n\r\n");

  // Without a path the target is the URL as written.
  r = BuildHttpRequest(Proxy("p", "8080"), "HEAD ", "http://example.com", true);
  EXPECT_EQ(r.endpoint.target, "http://example.com");
  EXPECT_EQ(r.text.substr(0, 35), "HEAD http://example.com HTTP/1.0\r\nH");
}

TEST(BuildHttpRequest, ProxyLoginAddsTheCredentialLinesAfterTheAgent) {
  ConnectionSettings s = Proxy("proxy", "8080");
  s.proxyNeedsLogin = true;
  s.login = "user";
  s.password = "pass";
  HttpRequest r = BuildHttpRequest(s, "GET ", "http://a.example/b", true);
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
  EXPECT_EQ(ProxyAuthorizationLines(s, true), "") << "login option off";
  s.proxyNeedsLogin = true;
  EXPECT_EQ(ProxyAuthorizationLines(s, false), "") << "this run goes direct";
  EXPECT_EQ(ProxyAuthorizationLines(s, true),
            "Proxy-Authorization: Basic dXNlcjpwYXNz\r\nProxy-Connection: Close\r\n");

  // Empty login and password still send the header: the encoding of ":".
  s.login.clear();
  s.password.clear();
  EXPECT_EQ(ProxyAuthorizationLines(s, true),
            "Proxy-Authorization: Basic Og==\r\nProxy-Connection: Close\r\n");

  // ANSI bytes go as they are; CR and LF are harmless inside the token.
  s.login = "\xc8\xe2\xe0\xed";  // "Иван" in Windows-1251
  s.password = "a\r\nb";
  EXPECT_EQ(ProxyAuthorizationLines(s, true),
            "Proxy-Authorization: Basic yOLg7TphDQpi\r\nProxy-Connection: Close\r\n");
}

TEST(BuildHttpRequest, ProxyWithoutLoginSendsNoCredentialLines) {
  ConnectionSettings s = Proxy("proxy", "8080");
  s.login = "user";
  s.password = "pass";
  HttpRequest r = BuildHttpRequest(s, "GET ", "http://a/b", true);
  EXPECT_EQ(r.text.find("Proxy-"), std::string::npos);
  EXPECT_EQ(r.text, "GET http://a/b HTTP/1.0\r\nHost: a\r\nUser-Agent: Dova Wallpaper Changer\r\n"
                    "Connection: Close\r\n\r\n");
}

TEST(BuildHttpRequest, UnreadableProxyPortRaisesAnError) {
  auto messageFor = [](const std::string& port) {
    try {
      BuildHttpRequest(Proxy("proxy", port), "GET ", "http://a/b", true);
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
  EXPECT_EQ(BuildHttpRequest(Proxy("proxy", "65535"), "GET ", "http://a/b", true)
                .endpoint.connectPort,
            65535);
  // The port is not read for a direct request.
  EXPECT_NO_THROW(BuildHttpRequest(Proxy("proxy", "abc"), "GET ", "http://a/b", false));
}

TEST(BuildHttpRequest, ControlCharactersNeverReachTheRequest) {
  const char* urls[] = {"http://a.example/x\r\nX-Evil: 1", "http://a.example\r\nX: y/z",
                        "http://a\nb/", "http://a/b\tc", "http://a/b\x7f", "http://a/\x01"};
  for (const char* url : urls) {
    EXPECT_THROW(BuildHttpRequest(ConnectionSettings(), "GET ", url, false), Error) << url;
    EXPECT_THROW(BuildHttpRequest(Proxy("p", "8080"), "GET ", url, true), Error) << url;
  }
  std::string withZero("http://a/b\0c", 12);
  EXPECT_THROW(BuildHttpRequest(ConnectionSettings(), "GET ", withZero, false), Error);

  // The proxy server text is used as a host name: refused too when a proxy is used.
  EXPECT_THROW(BuildHttpRequest(Proxy("proxy\r\nX: y", "8080"), "GET ", "http://a/b", true),
               Error);
  EXPECT_NO_THROW(BuildHttpRequest(Proxy("proxy\r\nX: y", "8080"), "GET ", "http://a/b", false));

  try {
    BuildHttpRequest(ConnectionSettings(), "GET ", "http://a/\r\n", false);
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "'http://a/#13#10' contains a control character");
  }
  // Bytes above 0x7F are ordinary characters of the ANSI code page.
  EXPECT_NO_THROW(BuildHttpRequest(ConnectionSettings(), "GET ", "http://a/\xe0\xff", false));
}

TEST(BuildHttpRequest, ReadsTheHostsSettingsAtTheMomentItIsCalled) {
  FakeFetchHost host;
  host.settings = Proxy("first", "1");
  EXPECT_EQ(BuildHttpRequest(host, "GET ", "http://a/b", true).endpoint.connectHost, "first");
  host.settings.proxyServer = "second";
  host.settings.proxyPort = "2";
  HttpRequest r = BuildHttpRequest(host, "GET ", "http://a/b", true);
  EXPECT_EQ(r.endpoint.connectHost, "second");
  EXPECT_EQ(r.endpoint.connectPort, 2);
  EXPECT_EQ(host.settingsReads, 2);
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

}  // namespace
}  // namespace dova
