// The daily update against sites that send less, more or something else than a picture: every
// such answer is a failed download ("errorgetingfile", then "waserror"), temp.jpg never reaches
// the decoder, the wallpaper showing stays, and the window keeps being served meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "online/daily_update.h"
#include "platform/file_system.h"
#include "tests/support/daily_update_test_support.h"

namespace dova::testing {
namespace {

std::string PictureBytes(std::size_t size) {
  std::string bytes = "\xff\xd8\xff\xe0";
  while (bytes.size() < size) bytes += static_cast<char>('a' + bytes.size() % 26);
  return bytes;
}

class HostileSite : public DailyUpdateTest {
 protected:
  void SetUp() override {
    DailyUpdateTest::SetUp();
    app.dir.WriteFile("Sites\\wallpaper1.bmp", "earlier bitmap");
    app.desktop.wallpaper = DataFile("wallpaper1.bmp");
    site.Route("GET /potd", OkPage(pictureUrl));
  }

  void AnnounceInHead(long long size) {
    site.Route("HEAD /pictures/today.jpg",
               "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n");
  }
  void Answer(const std::string& response) { site.Route("GET /pictures/today.jpg", response); }
  void Answer(LoopbackHttpServer::Handler handler) {
    site.Route("GET /pictures/today.jpg", std::move(handler));
  }

  // Runs the update and checks that it failed as a download, nothing installed.
  void ExpectFailedDownload(const std::string& errorLine) {
    AppContext& c = app.ctx();
    DailyPictureUpdate(c, true);
    const std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "E " + errorLine);
    EXPECT_EQ(log.back(), "N " + P("waserror"));
    EXPECT_EQ(c.form.statusText, P("waserror"));
    EXPECT_EQ(c.form.trayIconIndex, 3);
    EXPECT_EQ(app.desktop.calls, 0);
    EXPECT_EQ(app.desktop.wallpaper, DataFile("wallpaper1.bmp"));
    EXPECT_EQ(app.dir.ReadFile("Sites\\wallpaper1.bmp"), "earlier bitmap");
    EXPECT_FALSE(FileExists(DataFile("wallpaper2.bmp")));
    EXPECT_FALSE(c.changeRunning);
    EXPECT_GT(app.pump.processed, 0) << "the window is served during the transfers";
  }
};

TEST_F(HostileSite, LessThanAnnouncedIsNoPicture) {
  // The answer announces its length and ends early.
  AnnounceInHead(40000);
  Answer("HTTP/1.0 200 OK\r\nContent-Length: 40000\r\n\r\n" + PictureBytes(20000));
  ExpectFailedDownload(P("errorgetingfile"));

  // No length in the answer itself, but the HEAD answer told one: a connection that closes
  // early without any length is no picture either.
  Answer("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n\r\n" + PictureBytes(20000));
  ExpectFailedDownload(P("errorgetingfile"));

  // Cut by a reset in the middle.
  Answer([](LoopbackHttpServer::Connection& connection) {
    connection.Send("HTTP/1.0 200 OK\r\nContent-Length: 40000\r\n\r\n" + PictureBytes(10000));
    connection.Pause(50);
    connection.Reset();
  });
  ExpectFailedDownload(P("errorgetingfile"));
}

TEST_F(HostileSite, MoreThanTheLimitIsCutAndRefused) {
  app.ctx().form.ComboBox3.Select(0);  // "100" kilobytes
  // No length anywhere and a picture beyond the user's maximum.
  site.Route("HEAD /pictures/today.jpg", "HTTP/1.0 200 OK\r\n\r\n");
  Answer("HTTP/1.0 200 OK\r\n\r\n" + PictureBytes(300 * 1024));
  ExpectFailedDownload(P("errorgetingfile"));

  // Lengths that lie: the HEAD answer and the answer say 50 KB, 300 KB come.
  AnnounceInHead(50 * 1024);
  Answer("HTTP/1.0 200 OK\r\nContent-Length: 51200\r\n\r\n" + PictureBytes(300 * 1024));
  ExpectFailedDownload(P("errorgetingfile"));

  // A header without end.
  Answer([](LoopbackHttpServer::Connection& connection) {
    connection.Send("HTTP/1.0 200 OK\r\n");
    const std::string line = "X-Padding: " + std::string(1000, 'x') + "\r\n";
    while (connection.Send(line)) {
    }
  });
  ExpectFailedDownload(P("errorgetingfile"));
}

TEST_F(HostileSite, TenGigabytesAnnouncedAreRefusedBeforeTheDownload) {
  AnnounceInHead(10LL * 1024 * 1024 * 1024);
  DailyPictureUpdate(app.ctx(), true);
  EXPECT_EQ(site.RequestLines(),
            std::vector<std::string>({"GET /potd", "HEAD /pictures/today.jpg"}));
  EXPECT_EQ(LogLines().back(), "N " + P("waserror"));
  EXPECT_EQ(app.desktop.calls, 0);

  // Announced in the answer only: the download is cut at the limit.
  site.Route("HEAD /pictures/today.jpg", "HTTP/1.0 200 OK\r\n\r\n");
  Answer([](LoopbackHttpServer::Connection& connection) {
    connection.Send("HTTP/1.0 200 OK\r\nContent-Length: 10737418240\r\n\r\n");
    const std::string block = PictureBytes(64 * 1024);
    while (connection.Send(block)) {
    }
  });
  ExpectFailedDownload(P("errorgetingfile"));
}

TEST_F(HostileSite, AnswersThatAreNotThePicturesBytes) {
  AnnounceInHead(5000);
  // A redirect back to itself is followed, and given up after five hops: a failure named as
  // such, and nothing of the redirects reaches temp.jpg.
  Answer("HTTP/1.0 302 Found\r\nLocation: /pictures/today.jpg\r\nContent-Length: 0\r\n\r\n");
  DailyPictureUpdate(app.ctx(), true);
  EXPECT_EQ(site.RequestLines().size(), 2u + 6u) << "the page, HEAD, the first GET and 5 hops";
  EXPECT_EQ(LogLines().back(), "E " + P("toomanyredirects"));
  EXPECT_EQ(app.ctx().form.statusText, P("toomanyredirects"));
  EXPECT_EQ(app.desktop.calls, 0);
  EXPECT_EQ(app.dir.ReadFile("Sites\\temp.jpg"), "");

  // HTTP/1.1 chunks, which an HTTP/1.0 client never asked for.
  const std::string picture = PictureBytes(5000);
  Answer("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1388\r\n" + picture +
         "\r\n0\r\n\r\n");
  ExpectFailedDownload(P("errorgetingfile"));

  // A compressed body.
  Answer("HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\n\r\n\x1f\x8b\x08" + std::string(100, 'z'));
  ExpectFailedDownload(P("errorgetingfile"));
}

TEST_F(HostileSite, ATrickleEndsAtTheDeadline) {
  app.ctx().form.ComboBox3.Select(0);  // "100" kilobytes: 60 s + 50 s to arrive
  site.Route("HEAD /pictures/today.jpg", "HTTP/1.0 200 OK\r\n\r\n");
  std::atomic<bool> trickling{false};
  Answer([&trickling](LoopbackHttpServer::Connection& connection) {
    connection.Send("HTTP/1.0 200 OK\r\n\r\n");
    trickling = true;
    // One byte now and then, forever: never silent long enough for the silence time-out.
    while (connection.Send("x") && connection.Pause(20)) {
    }
  });
  // Once the picture trickles, the fake clock moves ten seconds with every pump, so the deadline
  // comes after some 11; not before, where a slow machine's pumps would time out the page.
  app.pump.onProcessMessages = [this, &trickling] {
    if (trickling) app.clock.steady += 10000;
  };
  ExpectFailedDownload(P("errorgetingfile"));
}

}  // namespace
}  // namespace dova::testing
