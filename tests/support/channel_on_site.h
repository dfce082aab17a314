// For the tests of the shipped channels: a channel with its page asked from a test server
// instead of the service, keeping the page's path and query. Only tests include this.
#pragma once

#include <string>

#include "form/channel_catalogue.h"
#include "platform/ini_file.h"
#include "tests/support/test_app.h"

namespace dova::testing {

// The path and query of `url` ("/planetary/apod?api_key=DEMO_KEY").
inline std::string PathAndQuery(const std::string& url) {
  const std::size_t host = url.find("://") + 3;
  return url.substr(url.find('/', host));
}

// Makes `channel`, its rules as they are, the app's only channel, asking `origin` (scheme and
// host) + its page's path and query.
inline void UseChannelOnSite(TestApp& app, const Channel& channel, const std::string& origin) {
  std::string section = "[Site1]\r\nURL=" + channel.Url + "\r\nWPURL=" + origin +
                        PathAndQuery(channel.WpUrl) + "\r\nIMAGE=" + channel.Image +
                        "\r\nENABLED=1\r\n";
  if (!channel.Picture.empty()) section += "PICTURE=" + channel.Picture + "\r\n";
  if (!channel.Suffix.empty()) section += "SUFFIX=" + channel.Suffix + "\r\n";
  if (!channel.Caption.empty()) section += "CAPTION=" + channel.Caption + "\r\n";
  app.dir.WriteFile("Sites\\channels.ini", section);
  app.ctx().channels.Load(*OpenIniFile(app.ctx().DataDir + "channels.ini"));
}

}  // namespace dova::testing
