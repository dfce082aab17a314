#include "platform/socket.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace dova {
namespace {

#ifdef _WIN32
const char kAddress[] = "127.0.32.20";
#else
const char kAddress[] = "127.0.31.20";
#endif

TEST(SocketLibrary, StartsAndNests) {
  SocketLibrary outer;
  ASSERT_TRUE(outer.Started());
  {
    SocketLibrary inner;
    EXPECT_TRUE(inner.Started());
  }
  // The outer start still holds after the inner release.
  Ipv4Address a;
  EXPECT_TRUE(ResolveHost("127.0.0.1", a));
}

TEST(ResolveHost, DottedAddressesResolveToThemselvesAndOddNamesFail) {
  SocketLibrary library;
  Ipv4Address resolved, parsed;
  ASSERT_TRUE(ResolveHost(kAddress, resolved));
  ASSERT_TRUE(ParseIpv4(kAddress, parsed));
  EXPECT_EQ(resolved.networkOrder, parsed.networkOrder);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&parsed.networkOrder);
  EXPECT_EQ(bytes[0], 127);
  EXPECT_EQ(bytes[3], 20);

  EXPECT_FALSE(ResolveHost("", resolved)) << "never the local host's own address";
  EXPECT_FALSE(ResolveHost(std::string(kAddress) + ":80", resolved));
  EXPECT_FALSE(ParseIpv4("127.0.0", parsed));
  EXPECT_FALSE(ParseIpv4("localhost", parsed));
}

TEST(TcpSocket, ConnectSendReceiveAndOrderlyEnd) {
  SocketLibrary library;
  Ipv4Address a;
  ASSERT_TRUE(ParseIpv4(kAddress, a));
  TcpSocket listener;
  ASSERT_TRUE(listener.Open());
  ASSERT_TRUE(listener.Listen(a, 8020, 4));

  TcpSocket client;
  ASSERT_TRUE(client.Open());
  ASSERT_TRUE(client.StartConnect(a, 8020));
  ASSERT_EQ(listener.WaitReadable(2000), WaitResult::Ready);
  TcpSocket served = listener.Accept();
  ASSERT_TRUE(served.IsOpen());
  ASSERT_EQ(client.WaitConnected(2000), WaitResult::Ready);

  // Non-blocking client: nothing there yet.
  char buffer[16];
  EXPECT_EQ(client.Receive(buffer, sizeof buffer), TcpSocket::kWouldBlock);
  EXPECT_EQ(client.WaitReadable(50), WaitResult::TimedOut);

  EXPECT_EQ(client.Send("ping", 4), 4);
  ASSERT_EQ(served.WaitReadable(2000), WaitResult::Ready);
  ASSERT_EQ(served.Receive(buffer, sizeof buffer), 4);
  EXPECT_EQ(std::string(buffer, 4), "ping");

  ASSERT_TRUE(served.SendAll("pong", 4));
  served.ShutdownSend();
  ASSERT_EQ(client.WaitReadable(2000), WaitResult::Ready);
  ASSERT_EQ(client.Receive(buffer, sizeof buffer), 4);
  EXPECT_EQ(std::string(buffer, 4), "pong");
  ASSERT_EQ(client.WaitReadable(2000), WaitResult::Ready);
  EXPECT_EQ(client.Receive(buffer, sizeof buffer), 0) << "the peer's end of stream";

  // Moving hands the handle over; closing twice is harmless.
  TcpSocket moved(std::move(client));
  EXPECT_FALSE(client.IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  moved.Close();
  moved.Close();
  EXPECT_FALSE(moved.IsOpen());
}

TEST(TcpSocket, RefusedConnectionFails) {
  SocketLibrary library;
  Ipv4Address a;
  ASSERT_TRUE(ParseIpv4(kAddress, a));
  TcpSocket client;
  ASSERT_TRUE(client.Open());
  if (client.StartConnect(a, 8021)) {
    WaitResult r = WaitResult::TimedOut;
    for (int i = 0; i < 40 && r == WaitResult::TimedOut; ++i) r = client.WaitConnected(50);
    EXPECT_EQ(r, WaitResult::Failed);
  }
}

TEST(TcpSocket, ListeningTwiceOnOnePortFails) {
  SocketLibrary library;
  Ipv4Address a;
  ASSERT_TRUE(ParseIpv4(kAddress, a));
  TcpSocket first, second;
  ASSERT_TRUE(first.Open() && first.Listen(a, 8022, 1));
  ASSERT_TRUE(second.Open());
#ifndef _WIN32  // Winsock's SO_REUSEADDR lets a second socket take the port
  EXPECT_FALSE(second.Listen(a, 8022, 1));
#endif
}

TEST(TcpSocket, ClosedSocketRefusesEverything) {
  TcpSocket s;
  char c;
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(s.Send("x", 1), -1);
  EXPECT_EQ(s.Receive(&c, 1), -1);
  EXPECT_FALSE(s.Accept().IsOpen());
}

}  // namespace
}  // namespace dova
