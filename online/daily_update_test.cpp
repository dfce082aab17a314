// The daily update against a scripted channel site on a real loopback socket.
#include "online/daily_update.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/support/daily_update_test_support.h"

namespace dova::testing {
namespace {

using Lines = std::vector<std::string>;

TEST_F(DailyUpdateTest, InstallsTheDayPictureReportingEveryStep) {
  const std::string jpeg = MakeTestJpeg(app.dir);
  if (jpeg.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
  PublishPicture(jpeg);
  AppContext& c = app.ctx();
  std::set<int> trayDuringTransfers;
  std::set<std::string> statusDuringTransfers;
  app.pump.onProcessMessages = [&] {
    // The conversion serves the window too when it takes long, as on a busy machine.
    if (c.form.statusText != P("convertingimage")) trayDuringTransfers.insert(c.form.trayIconIndex);
    statusDuringTransfers.insert(c.form.statusText);
  };
  app.clock.Set(2026, 12, 8, 9, 30, 0);

  DailyPictureUpdate(c, false);

  EXPECT_EQ(site.RequestLines(),
            Lines({"GET /potd", "HEAD /pictures/today.jpg", "GET /pictures/today.jpg"}));
  for (const std::string& request : site.Requests()) {
    EXPECT_NE(request.find("\r\nHost: " + site.Address() + "\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nUser-Agent: Dova Wallpaper Changer\r\n"), std::string::npos);
    EXPECT_EQ(request.find("Proxy-"), std::string::npos);
  }
  EXPECT_EQ(
      LogLines(),
      Lines({"N URL: " + site.Url("/potd"), "N " + P("connectingto") + " " + site.Address(),
             "N " + P("downloadingimage") + "/pictures/today.jpg", "N " + P("convertingimage")}));
  // The transfers show image 1 and the byte counter.
  EXPECT_EQ(trayDuringTransfers, std::set<int>({1}));
  // The counter counts the header too.
  EXPECT_TRUE(statusDuringTransfers.count(P("downloadedbytes") + " " +
                                          std::to_string(pictureResponse.size())));

  const std::string bitmap = DataFile("wallpaper1.bmp");
  EXPECT_EQ(app.desktop.wallpaper, bitmap);
  EXPECT_EQ(app.desktop.stretch, "0");
  int width = 0, height = 0;
  ASSERT_TRUE(ReadBmpSize(bitmap, width, height));
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 48);
  EXPECT_FALSE(FileExists(DataFile("temp.jpg")));
  EXPECT_EQ(c.CurrentWallpaper, pictureUrl);
  EXPECT_DOUBLE_EQ(c.PreviousSetWallpaper, app.clock.now);
  EXPECT_EQ(c.form.statusText, "");
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_FALSE(c.changeRunning);
}

TEST_F(DailyUpdateTest, SamePictureIsFetchedAgainOnlyWhenForced) {
  const std::string jpeg = MakeTestJpeg(app.dir);
  if (jpeg.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
  PublishPicture(jpeg);
  AppContext& c = app.ctx();
  DailyPictureUpdate(c, true);
  ASSERT_EQ(app.desktop.calls, 1);
  ASSERT_EQ(c.CurrentWallpaper, pictureUrl);

  // The scheduler's run: only the page is asked.
  DailyPictureUpdate(c, false);
  EXPECT_EQ(site.RequestLines().size(), 4u);
  EXPECT_EQ(c.form.statusText, P("dontneedupdate"));
  EXPECT_EQ(LogLines().back(), "N " + P("dontneedupdate"));
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_EQ(app.desktop.calls, 1);

  // The menu's run: fetched and installed again, into the other bitmap.
  DailyPictureUpdate(c, true);
  EXPECT_EQ(site.RequestLines().size(), 7u);
  EXPECT_EQ(app.desktop.calls, 2);
  EXPECT_EQ(app.desktop.wallpaper, DataFile("wallpaper2.bmp"));
  EXPECT_TRUE(FileExists(DataFile("wallpaper2.bmp")));
  EXPECT_FALSE(FileExists(DataFile("wallpaper1.bmp")));
}

TEST_F(DailyUpdateTest, EmptyPageOnFirstRunCountsAsTheSamePicture) {
  site.Route("GET /potd", OkPage("\r\n"));
  AppContext& c = app.ctx();
  DailyPictureUpdate(c, false);
  EXPECT_EQ(c.form.statusText, P("dontneedupdate"));
  EXPECT_EQ(c.form.trayIconIndex, 3);

  // Forced, the empty text is no address.
  DailyPictureUpdate(c, true);
  EXPECT_EQ(c.form.statusText, P("unknowhttpcode"));
  EXPECT_EQ(c.form.trayIconIndex, 2);
  EXPECT_EQ(site.RequestLines(), Lines({"GET /potd", "GET /potd"}));
  EXPECT_EQ(c.CurrentWallpaper, "");
}

TEST_F(DailyUpdateTest, PictureAboveTheMaximumIsRefusedAndEqualSizePasses) {
  AppContext& c = app.ctx();
  c.form.ComboBox3.Select(1);  // "200": 204800 bytes
  site.Route("GET /potd", OkPage(pictureUrl));
  site.Route("HEAD /pictures/today.jpg", "HTTP/1.0 200 OK\r\ncontent-length: 300000\r\n\r\n");

  DailyPictureUpdate(c, false);
  EXPECT_EQ(site.RequestLines(), Lines({"GET /potd", "HEAD /pictures/today.jpg"}));
  const Lines log = LogLines();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2],
            "E The picture is too large: 300000 bytes; the limit is 204800 bytes");
  EXPECT_EQ(log.back(), "N " + P("waserror"));
  EXPECT_EQ(c.form.statusText, P("waserror"));
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_EQ(c.CurrentWallpaper, pictureUrl);  // taken before the size was known
  EXPECT_EQ(app.desktop.calls, 0);

  site.Route("HEAD /pictures/today.jpg", "HTTP/1.0 200 OK\r\nContent-Length: 204800\r\n\r\n");
  DailyPictureUpdate(c, true);
  EXPECT_EQ(site.RequestLines().back(), "GET /pictures/today.jpg");
}

TEST_F(DailyUpdateTest, MissingSizeIsNotedAndTheDownloadGoesOn) {
  AppContext& c = app.ctx();
  c.form.ComboBox3.Select(-1);
  site.Route("GET /potd", OkPage(pictureUrl));
  site.Route("HEAD /pictures/today.jpg", "HTTP/1.0 200 OK\r\n\r\n");

  // No maximum chosen: the run fails once the size is to be compared.
  DailyPictureUpdate(c, true);
  Lines log = LogLines();
  EXPECT_EQ(log[log.size() - 2], "E " + P("errorgetingfile"));
  EXPECT_EQ(log.back(), "N " + P("waserror"));
  EXPECT_EQ(site.RequestLines().size(), 2u);

  c.form.ComboBox3.Select(0);
  DailyPictureUpdate(c, true);
  log = LogLines();
  EXPECT_NE(std::find(log.begin(), log.end(), "N " + P("errorimagesize")), log.end());
  EXPECT_EQ(site.RequestLines().back(), "GET /pictures/today.jpg");
}

TEST_F(DailyUpdateTest, ProxyCarriesEveryRequestAndTheChoiceHoldsForTheRun) {
  AppContext& c = app.ctx();
  // The site plays the proxy; the origin names are never looked up.
  UseChannel("http://potd.example/today");
  c.form.CheckBox4.checked = true;
  c.form.Edit1.text = site.Address();
  c.form.Edit2.text = "80";
  c.form.CheckBox5.checked = true;
  c.form.Edit3.text = "user";
  c.form.Edit4.text = "pass";
  site.Route("GET http://potd.example/today", OkPage("http://pictures.example/a.jpg"));
  site.Route("HEAD http://pictures.example/a.jpg", "HTTP/1.0 200 OK\r\n\r\n");
  // The picture's GET gets the proxy's 404 page.
  // Switching the proxy off in the middle does not change this run.
  app.pump.onProcessMessages = [&] { c.form.CheckBox4.checked = false; };

  DailyPictureUpdate(c, true);

  EXPECT_EQ(site.RequestLines(),
            Lines({"GET http://potd.example/today", "HEAD http://pictures.example/a.jpg",
                   "GET http://pictures.example/a.jpg"}));
  const std::vector<std::string> requests = site.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_NE(requests[0].find("\r\nHost: potd.example\r\n"), std::string::npos);
  EXPECT_NE(requests[2].find("\r\nHost: pictures.example\r\n"), std::string::npos);
  for (const std::string& request : requests)
    EXPECT_NE(request.find("\r\nProxy-Authorization: Basic dXNlcjpwYXNz\r\n"
                           "Proxy-Connection: Close\r\nConnection: Close\r\n\r\n"),
              std::string::npos)
        << request;
  EXPECT_EQ(LogLines(),
            Lines({"N URL: http://potd.example/today", "N " + P("connectingto") + " potd.example",
                   "N " + P("errorimagesize"),
                   "N " + P("downloadingimage") + "http://pictures.example/a.jpg",
                   "E " + P("errorgetingfile") + " (HTTP 404)", "N " + P("waserror")}));
}

TEST_F(DailyUpdateTest, RedirectsAreFollowedAndTheProxysLoginRefusalIsNamed) {
  const std::string jpeg = MakeTestJpeg(app.dir);
  if (jpeg.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
  PublishPicture(jpeg);
  AppContext& c = app.ctx();
  site.Route("GET /potd", "HTTP/1.0 301 Moved\r\nLocation: /potd/today\r\n\r\n");
  site.Route("GET /potd/today", OkPage(site.Url("/moved.jpg")));
  site.Route("HEAD /moved.jpg", "HTTP/1.0 302 Found\r\nLocation: /pictures/today.jpg\r\n\r\n");
  site.Route("GET /moved.jpg", "HTTP/1.0 307 Moved\r\nLocation: pictures/today.jpg\r\n\r\n");
  DailyPictureUpdate(c, true);
  EXPECT_EQ(site.RequestLines(),
            Lines({"GET /potd", "GET /potd/today", "HEAD /moved.jpg", "HEAD /pictures/today.jpg",
                   "GET /moved.jpg", "GET /pictures/today.jpg"}));
  EXPECT_EQ(app.desktop.calls, 1);
  EXPECT_EQ(c.CurrentWallpaper, site.Url("/moved.jpg")) << "the address the page names";

  // An https channel through a proxy that refuses the login: named in the status bar and the
  // journal, and the wallpaper stays.
#ifdef _WIN32
  const std::string proxyAddress = "127.0.63.1";
#else
  const std::string proxyAddress = "127.0.62.1";
#endif
  LoopbackHttpServer proxy(proxyAddress, 80,
                           LoopbackHttpServer::Reply("HTTP/1.0 407 Proxy Authentication "
                                                     "Required\r\n\r\n"));
  ASSERT_TRUE(proxy.Listening());
  UseChannel("https://potd.example/today");
  c.form.CheckBox4.checked = true;
  c.form.Edit1.text = proxyAddress;
  c.form.Edit2.text = "80";
  DailyPictureUpdate(c, true);
  EXPECT_EQ(c.form.statusText, P("proxyloginfailed"));
  EXPECT_EQ(LogLines().back(), "E " + P("proxyloginfailed"));
  EXPECT_EQ(c.form.trayIconIndex, 2);
  EXPECT_EQ(app.desktop.calls, 1);
  EXPECT_EQ(proxy.Requests().size(), 1u);
}

TEST_F(DailyUpdateTest, ConnectionRefusedEndsWithConnectErrorAndTray2) {
  AppContext& c = app.ctx();
  c.CurrentWallpaper = "C:\\Pictures\\list.jpg";
  site.Stop();
  DailyPictureUpdate(c, true);
  EXPECT_EQ(c.form.statusText, P("connecterror"));
  EXPECT_EQ(LogLines(),
            Lines({"N URL: " + site.Url("/potd"), "N " + P("connectingto") + " " + site.Address(),
                   "E " + P("connecterror")}));
  EXPECT_EQ(c.form.trayIconIndex, 2);
  EXPECT_EQ(c.CurrentWallpaper, "C:\\Pictures\\list.jpg");
  EXPECT_FALSE(c.changeRunning);
}

TEST_F(DailyUpdateTest, SpeedLimitOfTheControlsPacesTheDownload) {
  AppContext& c = app.ctx();
  const std::string picture(5000, 'x');
  PublishPicture(picture);
  c.form.CheckBox6.checked = true;
  c.form.ComboBox4.Select(0);  // 1 KB/s: one chunk of at most 1023 bytes per second
  EXPECT_THROW(DailyPictureUpdate(c, true), Error);  // the bytes are no JPEG
  EXPECT_EQ(app.dir.ReadFile("Sites\\temp.jpg"), picture);
  // The fake clock moves only by the limiter's sleeps: at least a second per full chunk.
  EXPECT_GE(app.clock.steady, pictureResponse.size() / 1023 * 1000);
}

TEST_F(DailyUpdateTest, ClosingTheWindowDuringATransferAsksToTerminate) {
  site.Route("GET /potd", OkPage("\r\n"));
  app.pump.onProcessMessages = [&] { app.ctx().WindowClosed = true; };
  DailyPictureUpdate(app.ctx(), false);
  EXPECT_TRUE(app.pump.terminated);
  EXPECT_EQ(app.ctx().form.statusText, P("dontneedupdate"));  // the run still ends normally
}

}  // namespace
}  // namespace dova::testing
