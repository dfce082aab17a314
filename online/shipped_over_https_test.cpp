// The shipped channels (installer/dova.ini) and the feed kinds over https, end to end under
// Wine: the rules as shipped, each page asked from good.dova.test with the path and query its
// service uses, the recorded answer and the picture served by tests/support/https_test_server.py
// from the folder scripts/run-https-tests.sh names in DOVA_HTTPS_TEST_FILES (where it also puts
// a 64 x 48 picture.jpg). Without the servers these tests are skipped.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "online/channel_rule.h"
#include "online/daily_update.h"
#include "tests/support/channel_on_site.h"
#include "tests/support/daily_update_test_support.h"
#include "tests/support/fake_platform.h"
#include "tests/support/service_answers.h"

namespace dova::testing {
namespace {

const std::string kOrigin = "https://good.dova.test";

class ShippedOverHttps : public DailyUpdateTest {
 protected:
  void SetUp() override {
    const char* files = std::getenv("DOVA_HTTPS_TEST_FILES");
    if (!std::getenv("DOVA_HTTPS_TEST_SERVERS") || !files)
      GTEST_SKIP() << "the HTTPS test servers are not running: scripts/run-https-tests.sh runs "
                      "these tests with them";
    DailyUpdateTest::SetUp();
    filesDir_ = CorePath(files) + "\\";
    ASSERT_TRUE(ReadWholeFile(filesDir_ + "picture.jpg", jpeg_));
    shipped_.Load(*OpenIniFile(CorePath(DOVA_SOURCE_DIR "/installer/dova.ini")));
    ASSERT_EQ(shipped_.Count(), 3);
    app.dir.WriteFile("Sites\\wallpaper1.bmp", "earlier bitmap");
    app.desktop.wallpaper = DataFile("wallpaper1.bmp");
  }

  // Puts `bytes` where the server answers `pathAndQuery` (it serves by the path alone).
  void Publish(const std::string& pathAndQuery, const std::string& bytes) {
    std::string path = filesDir_;
    const std::string relative = pathAndQuery.substr(1, pathAndQuery.find('?') - 1);
    for (std::size_t start = 0, slash; (slash = relative.find('/', start)) != std::string::npos;
         start = slash + 1)
      ASSERT_TRUE(CreateDirectoryPath(path + relative.substr(0, slash)));
    for (char c : relative) path += c == '/' ? '\\' : c;
    std::FILE* file = OpenFile(path, "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
  }

  // Serves `answer` as the channel's page of today and the picture at `picturePath`, runs the
  // daily update and expects the picture installed with its caption shown and in the journal.
  void ExpectInstalled(const Channel& channel, const std::string& answer,
                       const std::string& picturePath, const std::string& caption) {
    UseChannelOnSite(app, channel, kOrigin);
    Publish(ExpandDateFields(PathAndQuery(channel.WpUrl), app.clock.UtcNow()), answer);
    Publish(picturePath, jpeg_);
    const int calls = app.desktop.calls;
    RemoveFile(app.desktop.wallpaper);
    AppContext& c = app.ctx();
    EXPECT_EQ(DailyPictureUpdate(c, true), DailyUpdateOutcome::Installed);
    EXPECT_EQ(app.desktop.calls, calls + 1);
    EXPECT_EQ(c.CurrentWallpaper, kOrigin + picturePath);
    int width = 0, height = 0;
    EXPECT_TRUE(ReadBmpSize(app.desktop.wallpaper, width, height));
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    EXPECT_EQ(c.CurrentCaption, caption);
    EXPECT_EQ(c.form.statusText, caption);
    ASSERT_FALSE(LogLines().empty());
    EXPECT_EQ(LogLines().back(), "N " + P("picturecaption") + " " + caption);
  }

  std::string filesDir_, jpeg_;
  ChannelCatalogue shipped_;
};

TEST_F(ShippedOverHttps, EachShippedChannelInstallsTodaysPictureAndAVideoDayKeepsIt) {
  const std::string dash = " \xE2\x80\x94 ";
  {
    SCOPED_TRACE("Bing");
    ExpectInstalled(shipped_.Channels()[0], BingAnswer(true), "/th?id=OHR.Lake_EN-US1_UHD.jpg",
                    "A lake at dawn, Finland (\xC2\xA9 A. Photographer/Agency)");
  }
  {
    SCOPED_TRACE("Wikipedia");
    ExpectInstalled(shipped_.Channels()[1],
                    WikipediaAnswer(kOrigin + "/wiki/o/Owl.jpg", kOrigin + "/wiki/t/640px-Owl.jpg"),
                    "/wiki/o/Owl.jpg",
                    "A snowy owl in flight" + dash + "Owler" + dash + "CC BY-SA 4.0");
  }
  const Channel& apod = shipped_.Channels()[2];
  {
    SCOPED_TRACE("APOD");
    ExpectInstalled(
        apod,
        ApodAnswer(false, kOrigin + "/apod/image/2612/Pelican_hd.jpg", "image/2612/Pelican.jpg"),
        "/apod/image/2612/Pelican_hd.jpg", "The Pelican Nebula" + dash + "A. Astronomer");
  }

  // APOD's video day: no picture today, and the wallpaper, its caption and the tray stay.
  AppContext& c = app.ctx();
  const std::string caption = c.CurrentCaption;
  Publish(PathAndQuery(apod.WpUrl),
          ApodAnswer(true, "", "https://www.youtube.com/embed/abc?rel=0"));
  EXPECT_EQ(DailyPictureUpdate(c, true), DailyUpdateOutcome::NoPicture);
  EXPECT_EQ(app.desktop.calls, 3);
  EXPECT_EQ(c.CurrentWallpaper, kOrigin + "/apod/image/2612/Pelican_hd.jpg");
  EXPECT_EQ(c.CurrentCaption, caption);
  EXPECT_EQ(c.form.trayIconIndex, 3);
  EXPECT_EQ(LogLines().back(), "N " + P("nopicturetoday") + " (/media_type: video)");
  int width = 0, height = 0;
  EXPECT_TRUE(ReadBmpSize(app.desktop.wallpaper, width, height));
}

TEST_F(ShippedOverHttps, EachFeedKindInstallsItsPicture) {
  Channel feed;
  feed.Url = "https://example.org/";
  feed.WpUrl = "https://example.org/feeds/photos.xml";
  feed.Image = "-";
  feed.Picture = "feed";
  {
    SCOPED_TRACE("RSS");
    ExpectInstalled(feed, RssAnswer("pictures/harbour.jpg"), "/feeds/pictures/harbour.jpg",
                    "Harbour at night");
  }
  {
    SCOPED_TRACE("Atom");
    ExpectInstalled(feed, AtomAnswer("/f/june.jpg"), "/f/june.jpg", "Fields in June");
  }
  {
    SCOPED_TRACE("media:content");
    ExpectInstalled(feed, MediaRssAnswer("/m/small.jpg", kOrigin + "/m/large.jpg"), "/m/large.jpg",
                    "Mountain pass");
  }
}

}  // namespace
}  // namespace dova::testing
