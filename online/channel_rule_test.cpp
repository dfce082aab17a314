#include "online/channel_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "tests/support/service_answers.h"

namespace dova {
namespace {

using testing::ApodAnswer;

ChannelRules Rules(const std::string& picture, const std::string& suffix = "",
                   const std::string& caption = "") {
  std::string problem;
  const std::optional<ChannelRules> rules = ReadChannelRules(picture, suffix, caption, problem);
  EXPECT_TRUE(rules) << problem;
  return rules.value_or(ChannelRules());
}

TEST(ReadChannelRules, ReadsEachKindAndRefusesWhatIsNoRule) {
  EXPECT_EQ(Rules("").picture.kind, RuleKind::Line);
  EXPECT_EQ(Rules(" line ").picture.kind, RuleKind::Line);
  EXPECT_EQ(Rules("feed").picture.kind, RuleKind::Feed);
  const ChannelRules apod = Rules("json:/media_type=image|json:/hdurl|/url");
  EXPECT_EQ(apod.picture.kind, RuleKind::Json);
  EXPECT_EQ(apod.picture.paths, (std::vector<std::string>{"/hdurl", "/url"}));
  ASSERT_EQ(apod.picture.conditions.size(), 1u);
  EXPECT_EQ(apod.picture.conditions[0].second, "image");
  EXPECT_EQ(Rules("xml:images/image/urlBase").picture.kind, RuleKind::Xml);
  EXPECT_EQ(Rules("line", "_UHD.jpg|_1920x1080.jpg").suffixes.size(), 2u);

  for (const char* bad : {"jsn:/url", "json:url", "json:/a~2b", "xml:", "json:/a|xml:b",
                          "json:/media_type=image", "html"}) {
    std::string problem;
    EXPECT_FALSE(ReadChannelRules(bad, "", "", problem)) << bad;
    EXPECT_FALSE(problem.empty());
    EXPECT_FALSE(ReadChannelRules("feed", "", bad, problem)) << bad;
  }
}

TEST(ExpandDateFields, TakesTheUtcDateAcrossMidnight) {
  const std::string page = "https://h/feed/featured/{yyyy}/{mm}/{dd}?d={dd}";
  EXPECT_EQ(ExpandDateFields(page, EncodeDateTime(2026, 12, 31, 23, 59, 59, 999)),
            "https://h/feed/featured/2026/12/31?d=31");
  EXPECT_EQ(ExpandDateFields(page, EncodeDateTime(2027, 1, 1, 0, 0, 0)),
            "https://h/feed/featured/2027/01/01?d=01");
  EXPECT_EQ(ExpandDateFields("http://h/potd", 46000.5), "http://h/potd");
}

TEST(ReadPageByRules, BingRelativeUrlbaseWithSizesAndItsNonWallpaperDay) {
  const ChannelRules bing = Rules("json:/images/0/wp=true|json:/images/0/urlbase",
                                  "_UHD.jpg|_1920x1080.jpg", "json:/images/0/copyright");
  const std::string page = "https://www.bing.com/HPImageArchive.aspx?format=js&idx=0&n=1";
  PageFindings found = ReadPageByRules(bing, testing::BingAnswer(true), page);
  ASSERT_EQ(found.outcome, PageOutcome::Picture) << found.detail;
  EXPECT_EQ(found.pictures,
            (std::vector<std::string>{"https://www.bing.com/th?id=OHR.Lake_EN-US1_UHD.jpg",
                                      "https://www.bing.com/th?id=OHR.Lake_EN-US1_1920x1080.jpg"}));
  EXPECT_EQ(found.caption, "A lake at dawn, Finland (\xC2\xA9 A. Photographer/Agency)");

  found = ReadPageByRules(bing, testing::BingAnswer(false), page);
  EXPECT_EQ(found.outcome, PageOutcome::NoPictureToday);
  EXPECT_EQ(found.detail, "/images/0/wp: false");
  EXPECT_TRUE(found.pictures.empty());
}

TEST(ReadPageByRules, WikipediaOriginalThenThumbnailWithArtistAndLicence) {
  const ChannelRules wikipedia =
      Rules("json:/image/image/source|json:/image/thumbnail/source", "",
            "json:/image/description/text|json:/image/title;json:/image/artist/text;"
            "json:/image/license/type");
  const PageFindings found =
      ReadPageByRules(wikipedia,
                      testing::WikipediaAnswer("https://upload.wikimedia.org/o/Owl.jpg",
                                               "https://upload.wikimedia.org/t/640px-Owl.jpg"),
                      "https://en.wikipedia.org/api/rest_v1/feed/featured/2026/12/08");
  ASSERT_EQ(found.outcome, PageOutcome::Picture) << found.detail;
  EXPECT_EQ(found.pictures,
            (std::vector<std::string>{"https://upload.wikimedia.org/o/Owl.jpg",
                                      "https://upload.wikimedia.org/t/640px-Owl.jpg"}));
  EXPECT_EQ(found.caption, "A snowy owl in flight \xE2\x80\x94 Owler \xE2\x80\x94 CC BY-SA 4.0");
}

TEST(ReadPageByRules, ApodTakesHdurlElseUrlAndAVideoDayHasNoPicture) {
  const ChannelRules apod =
      Rules("json:/media_type=image|json:/hdurl|json:/url", "", "json:/title;json:/copyright");
  const std::string page = "https://api.nasa.gov/planetary/apod?api_key=DEMO_KEY";
  PageFindings found = ReadPageByRules(
      apod, ApodAnswer(false, "https://apod.nasa.gov/image/hd.jpg", "image/small.jpg"), page);
  ASSERT_EQ(found.outcome, PageOutcome::Picture) << found.detail;
  EXPECT_EQ(found.pictures,
            (std::vector<std::string>{"https://apod.nasa.gov/image/hd.jpg",
                                      "https://api.nasa.gov/planetary/image/small.jpg"}));
  EXPECT_EQ(found.caption, "The Pelican Nebula \xE2\x80\x94 A. Astronomer");

  found =
      ReadPageByRules(apod, ApodAnswer(true, "", "https://www.youtube.com/embed/x?rel=0"), page);
  EXPECT_EQ(found.outcome, PageOutcome::NoPictureToday);
  EXPECT_EQ(found.detail, "/media_type: video");
}

TEST(ReadPageByRules, FeedsGiveTheFirstItemsPictureAndTitle) {
  const std::string page = "http://example.org/feeds/photos.xml";
  PageFindings found =
      ReadPageByRules(Rules("feed"), testing::RssAnswer("pictures/harbour.jpg"), page);
  ASSERT_EQ(found.outcome, PageOutcome::Picture) << found.detail;
  EXPECT_EQ(found.pictures,
            std::vector<std::string>{"http://example.org/feeds/pictures/harbour.jpg"});
  EXPECT_EQ(found.caption, "Harbour at night");

  found = ReadPageByRules(Rules("feed"), testing::AtomAnswer("/f/june.jpg"), page);
  ASSERT_EQ(found.outcome, PageOutcome::Picture) << found.detail;
  EXPECT_EQ(found.pictures, std::vector<std::string>{"http://example.org/f/june.jpg"});
  EXPECT_EQ(found.caption, "Fields in June");

  found = ReadPageByRules(Rules("feed", "", "xml:rss/channel/title"),
                          testing::MediaRssAnswer("/s.jpg", "/l.jpg"), page);
  ASSERT_EQ(found.outcome, PageOutcome::Picture) << found.detail;
  EXPECT_EQ(found.pictures, std::vector<std::string>{"http://example.org/l.jpg"});
  EXPECT_EQ(found.caption, "Gallery");

  // A first item without a picture (a podcast episode, a text post).
  found = ReadPageByRules(
      Rules("feed"),
      "<rss><channel><item><title>Talk</title><enclosure url='/a.mp3' type='audio/mpeg'/>"
      "</item></channel></rss>",
      page);
  EXPECT_EQ(found.outcome, PageOutcome::NoPictureToday);
  EXPECT_EQ(found.caption, "Talk");
  EXPECT_EQ(ReadPageByRules(Rules("feed"), "<html><body>moved</body></html>", page).outcome,
            PageOutcome::Refused);
}

TEST(ReadPageByRules, XmlPathsEndInAnAttributeOrTheText) {
  const std::string bingXml =
      "<?xml version='1.0' encoding='utf-8'?><images><image><url>/a_1920.jpg</url>"
      "<urlBase>/th?id=OHR.Lake</urlBase><copyright>Lake &amp; hills</copyright>"
      "<wp>1</wp><pic src='/b.jpg'/></image></images>";
  PageFindings found =
      ReadPageByRules(Rules("xml:images/image/wp=1|xml:/images/image/urlBase", "_UHD.jpg",
                            "xml:images/image/copyright"),
                      bingXml, "https://www.bing.com/HPImageArchive.aspx?format=xml");
  ASSERT_EQ(found.outcome, PageOutcome::Picture) << found.detail;
  EXPECT_EQ(found.pictures,
            std::vector<std::string>{"https://www.bing.com/th?id=OHR.Lake_UHD.jpg"});
  EXPECT_EQ(found.caption, "Lake & hills");
  for (const char* path : {"xml:images/image/pic@src", "xml:images/image/pic/@src"}) {
    found = ReadPageByRules(Rules(path), bingXml, "http://h/");
    EXPECT_EQ(found.pictures, std::vector<std::string>{"http://h/b.jpg"}) << path;
  }
  EXPECT_EQ(ReadPageByRules(Rules("xml:images/none"), bingXml, "http://h/").outcome,
            PageOutcome::Refused);
}

TEST(ReadPageByRules, HostilePagesAreRefused) {
  const ChannelRules json = Rules("json:/url");
  const ChannelRules feed = Rules("feed");
  const std::string page = "http://h/";
  const auto refused = [&](const ChannelRules& rules, const std::string& body) {
    const PageFindings found = ReadPageByRules(rules, body, page);
    EXPECT_TRUE(found.pictures.empty());
    return found.outcome == PageOutcome::Refused && !found.detail.empty();
  };
  EXPECT_TRUE(refused(json, std::string(200000, '[') + std::string(200000, ']')));
  EXPECT_TRUE(refused(json, "{\"url\":\"http://h/\xC3\x28.jpg\"}"));  // invalid UTF-8
  EXPECT_TRUE(refused(json, "{\"url\":\"http://h/a.jpg\""));          // cut
  EXPECT_TRUE(refused(json, "{\"url\":42}"));
  std::string large = "{\"url\":\"http://h/a.jpg\",\"pad\":\"" + std::string(2 << 20, 'x') + "\"}";
  EXPECT_TRUE(refused(json, large));

  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  EXPECT_TRUE(refused(feed, deep));
  EXPECT_TRUE(refused(feed,
                      "<rss><channel><item><enclosure type='image/jpeg' "
                      "url='http://h/\xFF.jpg'/></item></channel></rss>"));
  // Entities of a document type stay unexpanded: no growth, no outside files.
  const std::string laughs =
      "<?xml version='1.0'?><!DOCTYPE rss [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;'>"
      "<!ENTITY x SYSTEM 'file:///etc/passwd'>]><rss><channel><item><title>&b;&x;</title>"
      "<enclosure type='image/jpeg' url='http://h/&b;.jpg'/></item></channel></rss>";
  const PageFindings found = ReadPageByRules(feed, laughs, page);
  ASSERT_EQ(found.outcome, PageOutcome::Picture);
  EXPECT_EQ(found.pictures, std::vector<std::string>{"http://h/&b;.jpg"});
  EXPECT_EQ(found.caption, "&b;&x;");
  EXPECT_TRUE(
      refused(feed, "<rss><channel><item>" + std::string(2 << 20, ' ') +
                        "<enclosure type='image/jpeg' url='/a.jpg'/></item></channel></rss>"));
}

}  // namespace
}  // namespace dova
