// The channels the release ships (installer/dova.ini), and feed channels, each fetched and
// installed end to end against a local copy of its service's answer: the rules as shipped, the
// page and the picture served over loopback from the path and query the service uses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "online/channel_rule.h"
#include "online/daily_update.h"
#include "tests/support/channel_on_site.h"
#include "tests/support/daily_update_test_support.h"
#include "tests/support/fake_platform.h"
#include "tests/support/service_answers.h"

namespace dova::testing {
namespace {

struct ServiceCase {
  std::string name;
  std::string answer;       // the page's body
  std::string picturePath;  // where the rule must find the picture, on the channel's host
  std::string caption;
};

class ShippedChannelsTest : public DailyUpdateTest {
 protected:
  // `channel` as a section of its own, its page asked from the loopback site instead of the
  // service; the page's request line is returned.
  std::string UseOnSite(const Channel& channel) {
    UseChannelOnSite(app, channel, site.Url(""));
    return "GET " + ExpandDateFields(PathAndQuery(channel.WpUrl), app.clock.UtcNow());
  }

  void ExpectInstalled(const ServiceCase& service, const std::string& pageRequest,
                       const std::string& jpeg) {
    SCOPED_TRACE(service.name);
    site.Route(pageRequest, "HTTP/1.0 200 OK\r\n\r\n" + service.answer);
    ServePicture(service.picturePath, jpeg);
    const int calls = app.desktop.calls;
    EXPECT_EQ(DailyPictureUpdate(app.ctx(), true), DailyUpdateOutcome::Installed);
    EXPECT_EQ(app.desktop.calls, calls + 1);
    EXPECT_EQ(app.ctx().CurrentWallpaper, site.Url(service.picturePath));
    EXPECT_EQ(app.ctx().CurrentCaption, service.caption);
  }
};

TEST_F(ShippedChannelsTest, EachShippedChannelAndEachFeedKindInstallsItsPicture) {
  const std::string jpeg = MakeTestJpeg(app.dir);
  if (jpeg.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
  ChannelCatalogue shipped;
  shipped.Load(*OpenIniFile(CorePath(DOVA_SOURCE_DIR "/installer/dova.ini")));
  ASSERT_EQ(shipped.Count(), 3);
  const std::string dash = " \xE2\x80\x94 ";
  const ServiceCase services[] = {
      {"Bing", BingAnswer(true), "/th?id=OHR.Lake_EN-US1_UHD.jpg",
       "A lake at dawn, Finland (\xC2\xA9 A. Photographer/Agency)"},
      {"Wikipedia", WikipediaAnswer("/o/Owl.jpg", "/t/640px-Owl.jpg"), "/o/Owl.jpg",
       "A snowy owl in flight" + dash + "Owler" + dash + "CC BY-SA 4.0"},
      {"APOD", ApodAnswer(false, "/apod/image/2612/Pelican_hd.jpg", "Pelican.jpg"),
       "/apod/image/2612/Pelican_hd.jpg", "The Pelican Nebula" + dash + "A. Astronomer"},
  };
  for (int i = 0; i < 3; ++i) ExpectInstalled(services[i], UseOnSite(shipped.Channels()[i]), jpeg);

  Channel feed;
  feed.Url = "http://example.org/";
  feed.WpUrl = "http://example.org/feeds/photos.xml";
  feed.Image = "-";
  feed.Picture = "feed";
  const ServiceCase feeds[] = {
      {"RSS", RssAnswer("pictures/harbour.jpg"), "/feeds/pictures/harbour.jpg", "Harbour at night"},
      {"Atom", AtomAnswer("/f/june.jpg"), "/f/june.jpg", "Fields in June"},
      {"media:content", MediaRssAnswer("/m/small.jpg", "/m/large.jpg"), "/m/large.jpg",
       "Mountain pass"},
  };
  for (const ServiceCase& service : feeds) ExpectInstalled(service, UseOnSite(feed), jpeg);
}

// Bing's UHD picture may be over the user's limit, and Bing has only some screen sizes: the
// screen's own size comes next, then 1920x1080, which it always has.
TEST_F(ShippedChannelsTest, BingGivesWayToTheScreensSizeThenToTheSizeItAlwaysHas) {
  const std::string jpeg = MakeTestJpeg(app.dir);
  if (jpeg.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
  ChannelCatalogue shipped;
  shipped.Load(*OpenIniFile(CorePath(DOVA_SOURCE_DIR "/installer/dova.ini")));
  const std::string page = UseOnSite(shipped.Channels()[0]);
  site.Route(page, "HTTP/1.0 200 OK\r\n\r\n" + BingAnswer(true));
  ServePicture("/th?id=OHR.Lake_EN-US1_UHD.jpg", jpeg, 90000000);
  ServePicture("/th?id=OHR.Lake_EN-US1_1366x768.jpg", jpeg);
  ServePicture("/th?id=OHR.Lake_EN-US1_1920x1080.jpg", jpeg);

  app.screen.size = {1280, 1024};  // a size Bing does not have: its HEAD answers 404
  EXPECT_EQ(DailyPictureUpdate(app.ctx(), true), DailyUpdateOutcome::Installed);
  EXPECT_EQ(site.RequestLines(),
            std::vector<std::string>({page, "HEAD /th?id=OHR.Lake_EN-US1_UHD.jpg",
                                      "HEAD /th?id=OHR.Lake_EN-US1_1280x1024.jpg",
                                      "HEAD /th?id=OHR.Lake_EN-US1_1920x1080.jpg",
                                      "GET /th?id=OHR.Lake_EN-US1_1920x1080.jpg"}));
  EXPECT_EQ(app.ctx().CurrentWallpaper, site.Url("/th?id=OHR.Lake_EN-US1_1920x1080.jpg"));

  app.screen.size = {1366, 768};
  EXPECT_EQ(DailyPictureUpdate(app.ctx(), true), DailyUpdateOutcome::Installed);
  EXPECT_EQ(app.ctx().CurrentWallpaper, site.Url("/th?id=OHR.Lake_EN-US1_1366x768.jpg"));
  EXPECT_EQ(app.desktop.calls, 2);
}

}  // namespace
}  // namespace dova::testing
