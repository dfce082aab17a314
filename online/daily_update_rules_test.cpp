// The daily update with channels whose pages are JSON: the picture found by the rule, its
// caption shown, a day without a picture, a picture too large for the limit and its thumbnail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/picture_caption.h"
#include "online/daily_update.h"
#include "tests/support/daily_update_test_support.h"
#include "tests/support/service_answers.h"

namespace dova::testing {
namespace {

using Lines = std::vector<std::string>;

class DailyUpdateRulesTest : public DailyUpdateTest {
 protected:
  void UseRuleChannel(const std::string& wpUrl, const std::string& rules) {
    app.dir.WriteFile("Sites\\channels.ini", "[Site1]\r\nURL=http://site/\r\nWPURL=" + wpUrl +
                                                 "\r\nIMAGE=logo.bmp\r\nENABLED=1\r\n" + rules);
    std::unique_ptr<IniFile> ini = OpenIniFile(app.ctx().DataDir + "channels.ini");
    app.ctx().channels.Load(*ini);
  }
  static std::string Json(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: application/json\r\n\r\n" + body;
  }
};

TEST_F(DailyUpdateRulesTest, ApodImageDayShowsItsCaptionAndAVideoDayStaysCalm) {
  const std::string jpeg = MakeTestJpeg(app.dir);
  if (jpeg.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
  AppContext& c = app.ctx();
  UseRuleChannel(site.Url("/planetary/apod?api_key=DEMO_KEY"),
                 "PICTURE=json:/media_type=image|json:/hdurl|json:/url\r\n"
                 "CAPTION=json:/title;json:/copyright\r\n");
  site.Route("GET /planetary/apod?api_key=DEMO_KEY",
             Json(ApodAnswer(false, "/image/2612/pelican_hd.jpg", "pelican.jpg")));
  ServePicture("/image/2612/pelican_hd.jpg", jpeg);

  EXPECT_EQ(DailyPictureUpdate(c, false), DailyUpdateOutcome::Installed);
  EXPECT_EQ(app.desktop.calls, 1);
  EXPECT_EQ(c.CurrentWallpaper, site.Url("/image/2612/pelican_hd.jpg"));
  const std::string caption = "The Pelican Nebula \xE2\x80\x94 A. Astronomer";
  EXPECT_EQ(c.CurrentCaption, caption);
  EXPECT_EQ(c.form.statusText, caption);
  EXPECT_EQ(c.form.trayHint, "Dova Wallpaper Changer\n" + caption);
  EXPECT_EQ(LogLines().back(), "N " + P("picturecaption") + " " + caption);

  // A video day: a notice, no error, nothing downloaded, the wallpaper and its caption kept.
  site.Route("GET /planetary/apod?api_key=DEMO_KEY",
             Json(ApodAnswer(true, "", "https://www.youtube.com/embed/abc?rel=0")));
  EXPECT_EQ(DailyPictureUpdate(c, false), DailyUpdateOutcome::NoPicture);
  EXPECT_EQ(site.RequestLines().size(), 4u);
  EXPECT_EQ(app.desktop.calls, 1);
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_EQ(c.form.statusText, P("nopicturetoday") + " (/media_type: video)");
  EXPECT_EQ(LogLines().back(), "N " + c.form.statusText);
  EXPECT_EQ(c.CurrentWallpaper, site.Url("/image/2612/pelican_hd.jpg"));
  EXPECT_EQ(c.CurrentCaption, caption);

  // A channel of one-line pages has no caption: the old one goes with its picture.
  UseChannel(site.Url("/potd"));
  PublishPicture(jpeg);
  EXPECT_EQ(DailyPictureUpdate(c, false), DailyUpdateOutcome::Installed);
  EXPECT_EQ(c.CurrentCaption, "");
  EXPECT_EQ(c.form.trayHint, TrayTipFor(""));
}

TEST_F(DailyUpdateRulesTest, TodaysUtcPageAndTheThumbnailWhenTheOriginalIsTooLarge) {
  const std::string jpeg = MakeTestJpeg(app.dir);
  if (jpeg.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
  AppContext& c = app.ctx();
  // 01:30 in Moscow is still the 8th in UTC.
  app.clock.Set(2026, 12, 9, 1, 30, 0);
  app.clock.utcOffset = 3.0 / 24;
  UseRuleChannel(site.Url("/feed/featured/{yyyy}/{mm}/{dd}"),
                 "PICTURE=json:/image/image/source|json:/image/thumbnail/source\r\n"
                 "CAPTION=json:/image/description/text;json:/image/artist/text;"
                 "json:/image/license/type\r\n");
  // The page moved: its relative addresses are read against where it is now.
  site.Route("GET /feed/featured/2026/12/08",
             "HTTP/1.0 301 Moved Permanently\r\nLocation: /v2/featured/2026-12-08\r\n\r\n");
  site.Route("GET /v2/featured/2026-12-08",
             Json(WikipediaAnswer("//" + site.Address() + "/o/Owl.jpg", "t/640px-Owl.jpg")));
  ServePicture("/o/Owl.jpg", jpeg, 90000000);
  ServePicture("/v2/featured/t/640px-Owl.jpg", jpeg);

  EXPECT_EQ(DailyPictureUpdate(c, false), DailyUpdateOutcome::Installed);
  EXPECT_EQ(
      site.RequestLines(),
      Lines({"GET /feed/featured/2026/12/08", "GET /v2/featured/2026-12-08", "HEAD /o/Owl.jpg",
             "HEAD /v2/featured/t/640px-Owl.jpg", "GET /v2/featured/t/640px-Owl.jpg"}));
  const Lines log = LogLines();
  EXPECT_EQ(log[0], "N URL: " + site.Url("/feed/featured/2026/12/08"));
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "E " + P("errorimagesize1") + "90000000 " + P("errorimagesize2") + "5120000" +
                          P("errorimagesize3")),
            log.end());
  EXPECT_EQ(c.CurrentWallpaper, site.Url("/v2/featured/t/640px-Owl.jpg"));
  EXPECT_EQ(c.CurrentCaption, "A snowy owl in flight \xE2\x80\x94 Owler \xE2\x80\x94 CC BY-SA 4.0");

  // The scheduler's next run knows the thumbnail as today's picture.
  EXPECT_EQ(DailyPictureUpdate(c, false), DailyUpdateOutcome::Unchanged);

  // A page of 2 MiB is refused, whatever it holds.
  site.Route("GET /v2/featured/2026-12-08",
             Json(WikipediaAnswer("/o/Owl.jpg", "/t/x.jpg") + std::string(2 << 20, ' ')));
  EXPECT_EQ(DailyPictureUpdate(c, true), DailyUpdateOutcome::Failed);
  EXPECT_EQ(c.form.statusText, P("unknowhttpcode") + " (the page is larger than 1048576 bytes)");
  EXPECT_EQ(c.form.trayIconIndex, 2);
  EXPECT_EQ(app.desktop.calls, 1);
}

}  // namespace
}  // namespace dova::testing
