// The daily update where channels, sites and files misbehave: nothing but a complete picture
// reaches the decoder, the current wallpaper survives every failure, and a second update never
// starts inside a first one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "form/channel_grid.h"
#include "online/daily_update.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/support/daily_update_test_support.h"

namespace dova::testing {
namespace {

using Lines = std::vector<std::string>;

class DailyUpdateFaultTest : public DailyUpdateTest {
 protected:
  // A wallpaper installed by an earlier run.
  void InstallEarlierWallpaper() {
    app.dir.WriteFile("Sites\\wallpaper1.bmp", "earlier bitmap");
    app.desktop.wallpaper = DataFile("wallpaper1.bmp");
  }
  void ExpectEarlierWallpaperStays() {
    EXPECT_EQ(app.desktop.calls, 0);
    EXPECT_EQ(app.desktop.wallpaper, DataFile("wallpaper1.bmp"));
    EXPECT_EQ(app.dir.ReadFile("Sites\\wallpaper1.bmp"), "earlier bitmap");
    EXPECT_FALSE(FileExists(DataFile("wallpaper2.bmp")));
  }
  // The page answers `page`; the run must end with "unknowhttpcode" after that one request.
  void ExpectUnknownPage(const std::string& page) {
    SCOPED_TRACE(page);
    site.Route("GET /potd", page);
    const std::size_t before = site.Requests().size();
    app.ctx().CurrentWallpaper = "previous";
    DailyPictureUpdate(app.ctx(), true);
    EXPECT_EQ(app.ctx().form.statusText, P("unknowhttpcode"));
    EXPECT_EQ(LogLines().back(), "E " + P("unknowhttpcode"));
    EXPECT_EQ(app.ctx().form.trayIconIndex, 2);
    EXPECT_EQ(app.ctx().CurrentWallpaper, "previous");
    EXPECT_EQ(site.Requests().size(), before + 1);
  }
};

TEST_F(DailyUpdateFaultTest, SecondTriggerDuringARunIsIgnored) {
  AppContext& c = app.ctx();
  c.form.ComboBox3.Select(0);  // "100": the picture is refused after its HEAD request
  site.Route("GET /potd", OkPage(pictureUrl));
  site.Route("HEAD /pictures/today.jpg", "HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n");
  int nested = 0;
  // A timer tick and a double click on the grid arrive while the transfers pump messages.
  app.pump.onProcessMessages = [&] {
    if (nested++ > 0) return;
    DailyPictureUpdate(c, true);
    StringGrid1DblClick(c, 0);
  };
  DailyPictureUpdate(c, true);

  EXPECT_GT(nested, 1);
  EXPECT_EQ(site.RequestLines(), Lines({"GET /potd", "HEAD /pictures/today.jpg"}));
  const Lines log = LogLines();
  EXPECT_EQ(std::count(log.begin(), log.end(), "N URL: " + site.Url("/potd")), 1);
  EXPECT_EQ(log.back(), "N " + P("waserror"));
  EXPECT_FALSE(c.changeRunning);

  // Once it has ended, the next trigger runs.
  app.pump.onProcessMessages = nullptr;
  DailyPictureUpdate(c, true);
  EXPECT_EQ(site.RequestLines().size(), 4u);
}

TEST_F(DailyUpdateFaultTest, NoCurrentChannelIsReportedWithoutARequest) {
  AppContext& c = app.ctx();
  app.dir.WriteFile("Sites\\channels.ini",
                    "[Site1]\r\nURL=http://a/\r\nWPURL=" + site.Url("/potd") + "\r\nENABLED=0\r\n");
  std::unique_ptr<IniFile> ini = OpenIniFile(DataFile("channels.ini"));
  c.channels.Load(*ini);
  c.form.trayIconIndex = 2;

  DailyPictureUpdate(c, true);
  const std::string report = P("waserror") + " (" + P("chanels") + ": -)";
  EXPECT_EQ(c.form.statusText, report);
  EXPECT_EQ(LogLines(), Lines({"E " + report}));
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_TRUE(site.Requests().empty());

  // The empty catalogue's one row: the double click marks nothing and fetches nothing.
  ChannelCatalogue empty;
  c.channels = empty;
  FitChannelGrid(c);
  StringGrid1DblClick(c, 0);
  EXPECT_EQ(c.form.statusText, report);
  EXPECT_TRUE(site.Requests().empty());
}

TEST_F(DailyUpdateFaultTest, PagesThatNameNoPictureAreUnknown) {
  ExpectUnknownPage(OkPage(pictureUrl + "\r\n" + site.Url("/other.jpg") + "\r\n"));
  ExpectUnknownPage("HTTP/1.0 404 Not Found\r\nContent-Type: text/plain\r\n\r\nNot Found\r\n");
  ExpectUnknownPage(OkPage("ftp://files.example/a.jpg"));
  // No header end: nothing in the answer is a body.
  ExpectUnknownPage(pictureUrl);
  // A tab inside the address would end up in the request line.
  ExpectUnknownPage(OkPage("http://" + site.Address() + "/a\tb.jpg"));
  ExpectUnknownPage(OkPage(std::string("http://") + site.Address() + "/a\x7f.jpg"));
}

TEST_F(DailyUpdateFaultTest, BrokenPageConnectionIsAConnectError) {
  AppContext& c = app.ctx();
  // A site that accepts and never answers: after the fetcher's silence time-out its result is
  // "4" (the fake clock moves a second per pump here).
  site.Route("GET /potd",
             [](LoopbackHttpServer::Connection& connection) { connection.Pause(20000); });
  app.pump.onProcessMessages = [&] { app.clock.steady += 1000; };
  DailyPictureUpdate(c, true);
  EXPECT_EQ(c.form.statusText, P("connecterror"));
  EXPECT_EQ(LogLines().back(), "E " + P("connecterror"));
  EXPECT_EQ(c.form.trayIconIndex, 2);
  EXPECT_EQ(c.CurrentWallpaper, "");
}

TEST_F(DailyUpdateFaultTest, ErrorPageInsteadOfThePictureIsNeverDecoded) {
  AppContext& c = app.ctx();
  InstallEarlierWallpaper();
  site.Route("GET /potd", OkPage(pictureUrl));
  site.Route("HEAD /pictures/today.jpg", "HTTP/1.0 200 OK\r\n\r\n");
  // The picture's GET falls through to the site's 404 page.

  DailyPictureUpdate(c, true);
  const Lines log = LogLines();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "E " + P("errorgetingfile") + " (HTTP 404)");
  EXPECT_EQ(log.back(), "N " + P("waserror"));
  EXPECT_EQ(c.form.statusText, P("waserror"));
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_EQ(c.CurrentWallpaper, pictureUrl);
  ExpectEarlierWallpaperStays();
}

TEST_F(DailyUpdateFaultTest, FailedPictureConnectionMarksTheRunFailed) {
  AppContext& c = app.ctx();
  InstallEarlierWallpaper();
  // The picture lives where nobody listens: the HEAD and the download are both refused.
  const std::string nowhere = UnusedLoopbackAddress();
  site.Route("GET /potd", OkPage("http://" + nowhere + "/a.jpg"));

  DailyPictureUpdate(c, true);
  const Lines log = LogLines();
  EXPECT_EQ(log,
            Lines({"N URL: " + site.Url("/potd"), "N " + P("connectingto") + " " + site.Address(),
                   "N " + P("errorimagesize"), "N " + P("downloadingimage") + "/a.jpg",
                   "E " + P("connecterror"), "N " + P("waserror")}));
  EXPECT_EQ(c.form.trayIconIndex, 3);
  ExpectEarlierWallpaperStays();
}

TEST_F(DailyUpdateFaultTest, AnswerWithoutHeaderEndOrCutByTimeOutIsNoPicture) {
  AppContext& c = app.ctx();
  InstallEarlierWallpaper();
  site.Route("GET /potd", OkPage(pictureUrl));
  site.Route("GET /pictures/today.jpg", "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n");
  DailyPictureUpdate(c, true);
  EXPECT_EQ(LogLines()[LogLines().size() - 2], "E " + P("errorgetingfile"));
  EXPECT_EQ(c.form.statusText, P("waserror"));

  // A site that stops sending in the middle: the fetcher gives up after its silence time-out
  // (the fake clock moves a second per pump here).
  site.Route("GET /pictures/today.jpg", [](LoopbackHttpServer::Connection& connection) {
    connection.Send("HTTP/1.0 200 OK\r\n\r\n\xff\xd8\xff\xe0");
    connection.Pause(20000);
  });
  app.pump.onProcessMessages = [&] { app.clock.steady += 1000; };
  DailyPictureUpdate(c, true);
  EXPECT_EQ(LogLines()[LogLines().size() - 2], "E " + P("errorgetingfile"));
  EXPECT_EQ(c.form.statusText, P("waserror"));
  ExpectEarlierWallpaperStays();
}

TEST_F(DailyUpdateFaultTest, UndecodablePictureReachesTheErrorBoxAndTheWallpaperStays) {
  AppContext& c = app.ctx();
  InstallEarlierWallpaper();
  PublishPicture("this is not a JPEG picture");
  EXPECT_THROW(DailyPictureUpdate(c, true), Error);
  EXPECT_EQ(c.form.statusText, P("convertingimage"));
  EXPECT_EQ(c.form.trayIconIndex, 2);
  EXPECT_EQ(app.dir.ReadFile("Sites\\temp.jpg"), "this is not a JPEG picture");
  EXPECT_FALSE(c.changeRunning);
  EXPECT_EQ(app.desktop.calls, 0);
  EXPECT_EQ(app.desktop.wallpaper, DataFile("wallpaper1.bmp"));
  EXPECT_EQ(app.dir.ReadFile("Sites\\wallpaper1.bmp"), "earlier bitmap");
}

TEST_F(DailyUpdateFaultTest, VanishedTempFileStopsTheInstall) {
  AppContext& c = app.ctx();
  InstallEarlierWallpaper();
  InstallDownloadedPicture(c);
  const std::string notFound = P("notfound1") + " " + DataFile("temp.jpg") + " " + P("notfound2");
  EXPECT_EQ(c.form.statusText, notFound);
  EXPECT_EQ(LogLines(), Lines({"N " + P("convertingimage"), "N " + notFound}));
  ExpectEarlierWallpaperStays();
}

TEST_F(DailyUpdateFaultTest, UnreadableSettingsFailTheRun) {
  AppContext& c = app.ctx();
  c.form.CheckBox4.checked = true;
  c.form.Edit1.text = site.Address();
  c.form.Edit2.text = "80a";
  DailyPictureUpdate(c, true);
  EXPECT_EQ(LogLines(),
            Lines({"N URL: " + site.Url("/potd"), "N " + P("connectingto") + " " + site.Address(),
                   "E " + P("errorgetingfile"), "N " + P("waserror")}));
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_TRUE(site.Requests().empty());

  // No speed chosen: the download cannot start.
  c.form.CheckBox4.checked = false;
  c.form.ComboBox4.Select(-1);
  site.Route("GET /potd", OkPage(pictureUrl));
  DailyPictureUpdate(c, true);
  EXPECT_EQ(site.RequestLines(), Lines({"GET /potd", "HEAD /pictures/today.jpg"}));
  EXPECT_EQ(LogLines()[LogLines().size() - 2], "E " + P("errorgetingfile"));
}

}  // namespace
}  // namespace dova::testing
