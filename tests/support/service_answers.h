// Answers in the shapes of the real picture-of-the-day services, cut down to the fields that
// matter, with the picture addresses the tests choose. Only tests include this.
#pragma once

#include <string>

namespace dova::testing {

// Bing's HPImageArchive.aspx?format=js: a relative urlbase, to which the channel appends a size.
inline std::string BingAnswer(bool wallpaper = true) {
  return std::string(R"j({"images":[{"startdate":"20261208","fullstartdate":"202612080800",)j") +
         R"j("enddate":"20261209","url":"/th?id=OHR.Lake_EN-US1_1920x1080.jpg&rf=LaDigue_1920x1080.jpg&pid=hp",)j" +
         R"j("urlbase":"/th?id=OHR.Lake_EN-US1","copyright":"A lake at dawn, Finland (\u00a9 A. Photographer/Agency)",)j" +
         R"j("title":"Morning lake","wp":)j" + (wallpaper ? "true" : "false") +
         R"j(,"hsh":"0123abcd","drk":1,"top":1,"bot":1,"hs":[]}],)j" +
         R"j("tooltips":{"loading":"Loading...","previous":"Previous image"}})j";
}

// Wikipedia's feed/featured/{yyyy}/{mm}/{dd}: the picture of the day with its original and a
// thumbnail, the artist and the licence.
inline std::string WikipediaAnswer(const std::string& original, const std::string& thumbnail) {
  return R"j({"tfa":{"type":"standard","title":"Some_article"},"image":{"title":"File:Owl.jpg",)j"
         R"j("thumbnail":{"source":")j" +
         thumbnail +
         R"j(","width":640,"height":427},)j"
         R"j("image":{"source":")j" +
         original +
         R"j(","width":6000,"height":4000},)j"
         R"j("file_page":"https://commons.wikimedia.org/wiki/File:Owl.jpg",)j"
         R"j("artist":{"html":"<a href=\"//commons.wikimedia.org/wiki/User:Owler\">Owler</a>",)j"
         R"j("text":"Owler"},"credit":{"html":"Own work","text":"Own work"},)j"
         R"j("license":{"type":"CC BY-SA 4.0","code":"cc-by-sa-4.0",)j"
         R"j("url":"https://creativecommons.org/licenses/by-sa/4.0"},)j"
         R"j("description":{"html":"A <b>snowy owl</b>","text":"A snowy owl\nin flight","lang":"en"}},)j"
         R"j("news":[],"onthisday":[]})j";
}

// NASA's planetary/apod: an image day with hdurl and url, or a video day with only url.
inline std::string ApodAnswer(bool video, const std::string& hdurl, const std::string& url) {
  if (video)
    return R"j({"date":"2026-12-08","explanation":"A video.","media_type":"video",)j"
           R"j("service_version":"v1","title":"A Moving Sky","url":")j" +
           url + R"j("})j";
  return R"j({"copyright":"\nA. Astronomer\n","date":"2026-12-08","explanation":"A nebula.",)j"
         R"j("hdurl":")j" +
         hdurl +
         R"j(","media_type":"image","service_version":"v1",)j"
         R"j("title":"The Pelican Nebula","url":")j" +
         url + R"j("})j";
}

inline std::string RssAnswer(const std::string& picture) {
  return R"j(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0"><channel><title>Photos</title><link>http://example.org/</link>
<item><title>Harbour at night</title><link>http://example.org/1</link>
<enclosure url="http://example.org/talk.mp3" length="1" type="audio/mpeg"/>
<enclosure url=")j" +
         picture + R"j(" length="2" type="image/jpeg"/></item>
<item><title>Older</title><enclosure url="/older.jpg" type="image/jpeg"/></item>
</channel></rss>)j";
}

inline std::string AtomAnswer(const std::string& picture) {
  return R"j(<?xml version="1.0" encoding="utf-8"?>
<feed xmlns="http://www.w3.org/2005/Atom"><title>Pictures</title><id>urn:x</id>
<entry><title type="text">Fields in June</title><id>urn:1</id>
<link rel="alternate" href="http://example.org/1"/>
<content type="html">&lt;p&gt;text&lt;/p&gt;</content>
<link rel="enclosure" type="image/jpeg" href=")j" +
         picture + R"j("/></entry></feed>)j";
}

inline std::string MediaRssAnswer(const std::string& small, const std::string& large) {
  return R"j(<?xml version="1.0"?>
<rss version="2.0" xmlns:m="http://search.yahoo.com/mrss/"><channel><title>Gallery</title>
<item><title>Mountain pass</title>
<m:group><m:content url=")j" +
         small + R"j(" medium="image" width="800" height="600"/>
<m:content url=")j" +
         large + R"j(" medium="image" width="3000" height="2000"/>
<m:content url="/clip.mp4" medium="video" width="9000" height="9000"/></m:group>
</item></channel></rss>)j";
}

}  // namespace dova::testing
