// Schannel sessions against the loopback HTTPS servers of tests/support/https_test_server.py,
// with the test root trusted in this Wine prefix alone. scripts/run-tls-tests.sh starts them
// and sets DOVA_TLS_TEST_SERVERS; without it these tests are skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "platform/tls_stream.h"
#include "tests/support/tcp_byte_stream.h"

namespace dova {
namespace {

using testing::TcpByteStream;

constexpr unsigned kTimeoutMs = 3000;

class TlsStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DOVA_TLS_TEST_SERVERS"))
      GTEST_SKIP() << "the HTTPS test servers are not running: scripts/run-tls-tests.sh runs "
                      "these tests with them";
  }

  // Connects to `address` and runs the handshake for `host`. The transport lives until the next
  // Open: end the session before that.
  TlsSession Open(const char* address, const std::string& host) {
    transport_ = std::make_unique<TcpByteStream>(kTimeoutMs);
    if (!transport_->Connect(address, 443)) {
      ADD_FAILURE() << "no server on " << address;
      return TlsSession();
    }
    return StartTls(*transport_, host);
  }

  // Sends a GET for `path` and reads until the stream ends; `end` gets the last Receive result.
  static std::string Get(ByteStream& stream, const std::string& path, int& end,
                         std::size_t atMost = SIZE_MAX) {
    const std::string request = "GET " + path + " HTTP/1.0\r\nConnection: Close\r\n\r\n";
    EXPECT_TRUE(stream.SendAll(request.data(), request.size()));
    std::string answer;
    char buffer[5000];
    while ((end = stream.Receive(buffer, sizeof buffer)) > 0 && answer.size() < atMost)
      answer.append(buffer, static_cast<std::size_t>(end));
    return answer;
  }

  // The body of a /bytes/N answer is byte i = i % 251.
  static void ExpectPatternBody(const std::string& answer, std::size_t length) {
    const std::size_t start = answer.find("\r\n\r\n");
    ASSERT_NE(start, std::string::npos) << answer.substr(0, 200);
    EXPECT_EQ(answer.compare(0, 15, "HTTP/1.0 200 OK"), 0);
    ASSERT_EQ(answer.size() - start - 4, length);
    for (std::size_t i = 0; i < length; ++i)
      ASSERT_EQ(static_cast<unsigned char>(answer[start + 4 + i]), i % 251) << "byte " << i;
  }

  std::unique_ptr<TcpByteStream> transport_;
};

TEST_F(TlsStreamTest, GoodChainThroughIntermediateGivesWholeBodyThenCloseNotify) {
  TlsSession session = Open("127.0.70.1", "good.dova.test");
  ASSERT_EQ(session.failure, TlsFailure::None) << session.detail;
  int end = 0;
  ExpectPatternBody(Get(*session.stream, "/bytes/300000", end), 300000);
  EXPECT_EQ(end, 0);
  char byte;
  EXPECT_EQ(session.stream->Receive(&byte, 1), 0);

  // Revocation is checked as far as its server can be reached.
  session = TlsSession();  // before its transport goes
  session = Open("127.0.70.9", "revocationoffline.dova.test");
  ASSERT_EQ(session.failure, TlsFailure::None) << session.detail;
  ExpectPatternBody(Get(*session.stream, "/bytes/1000", end), 1000);
}

TEST_F(TlsStreamTest, EachBadCertificateIsRefusedWithItsReason) {
  const struct {
    const char* address;
    const char* host;
    TlsFailure failure;
  } cases[] = {
      {"127.0.70.2", "expired.dova.test", TlsFailure::Expired},
      {"127.0.70.3", "notyetvalid.dova.test", TlsFailure::Expired},
      {"127.0.70.4", "wrongname.dova.test", TlsFailure::WrongName},
      {"127.0.70.1", "other.dova.test", TlsFailure::WrongName},
      {"127.0.70.5", "selfsigned.dova.test", TlsFailure::NotTrusted},
      {"127.0.70.6", "untrusted.dova.test", TlsFailure::NotTrusted},
      {"127.0.70.7", "noserverauth.dova.test", TlsFailure::NotForServers},
      {"127.0.70.8", "revoked.dova.test", TlsFailure::Revoked},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.host);
    const TlsSession session = Open(c.address, c.host);
    EXPECT_EQ(session.failure, c.failure) << session.detail;
    EXPECT_FALSE(session.stream);
    EXPECT_FALSE(session.detail.empty());
  }
}

TEST_F(TlsStreamTest, HostileHandshakesFailCleanlyWithinTheTimeOut) {
  for (const char* address :
       {"127.0.71.1", "127.0.71.2", "127.0.71.3", "127.0.71.4", "127.0.71.5", "127.0.71.11"}) {
    SCOPED_TRACE(address);
    const auto start = std::chrono::steady_clock::now();
    const TlsSession session = Open(address, "good.dova.test");
    EXPECT_EQ(session.failure, TlsFailure::HandshakeFailed) << session.detail;
    EXPECT_FALSE(session.stream);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(kTimeoutMs + 2000));
  }
  // Where Schannel has no TLS 1.3 (Wine, Windows 10) this fails; elsewhere it works.
  TlsSession session = Open("127.0.71.10", "good.dova.test");
  if (session.failure == TlsFailure::None) {
    int end = 0;
    ExpectPatternBody(Get(*session.stream, "/bytes/1000", end), 1000);
  } else {
    EXPECT_EQ(session.failure, TlsFailure::HandshakeFailed) << session.detail;
  }
}

TEST_F(TlsStreamTest, BodiesArriveWholeOrEndInAnError) {
  int end = 0;
  {
    SCOPED_TRACE("close without close_notify halfway");
    TlsSession session = Open("127.0.71.6", "good.dova.test");
    ASSERT_EQ(session.failure, TlsFailure::None) << session.detail;
    const std::string answer = Get(*session.stream, "/bytes/200000", end);
    EXPECT_EQ(end, -1);
    EXPECT_EQ(answer.size() - answer.find("\r\n\r\n") - 4, 100000u);
  }
  {
    SCOPED_TRACE("every byte late and in pieces");
    TlsSession session = Open("127.0.71.8", "good.dova.test");
    ASSERT_EQ(session.failure, TlsFailure::None) << session.detail;
    ExpectPatternBody(Get(*session.stream, "/bytes/6000", end), 6000);
    EXPECT_EQ(end, 0);
  }
  {
    SCOPED_TRACE("renegotiation halfway");
    TlsSession session = Open("127.0.71.9", "good.dova.test");
    ASSERT_EQ(session.failure, TlsFailure::None) << session.detail;
    std::string answer = Get(*session.stream, "/bytes/200000", end);
    // Wine's Schannel cannot renegotiate: there the half that came is all, and no orderly end.
    if (end == -1) {
      answer.resize(answer.find("\r\n\r\n") + 4 + 100000);
      ExpectPatternBody(answer, 100000);
    } else {
      EXPECT_EQ(end, 0);
      ExpectPatternBody(answer, 200000);
    }
  }
  {
    SCOPED_TRACE("no end");
    TlsSession session = Open("127.0.71.7", "good.dova.test");
    ASSERT_EQ(session.failure, TlsFailure::None) << session.detail;
    EXPECT_GE(Get(*session.stream, "/", end, 4 << 20).size(), 4u << 20);
    EXPECT_GT(end, 0);
  }
}

}  // namespace
}  // namespace dova
