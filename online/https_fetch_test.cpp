// The picture of the day over https against the loopback HTTPS servers of
// tests/support/https_test_server.py, with the test root trusted in this Wine prefix alone, their
// names (good.dova.test, ...) in the hosts file and tinyproxy in front of them.
// scripts/run-https-tests.sh sets all that up and DOVA_HTTPS_TEST_SERVERS (the proxy's
// address:port); without it these tests are skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "online/daily_update.h"
#include "tests/support/daily_update_test_support.h"
#include "tests/support/http_test_support.h"

namespace dova::testing {
namespace {

const char* TestServers() { return std::getenv("DOVA_HTTPS_TEST_SERVERS"); }

class OverHttps : public DailyUpdateTest {
 protected:
  void SetUp() override {
    if (!TestServers())
      GTEST_SKIP() << "the HTTPS test servers are not running: scripts/run-https-tests.sh runs "
                      "these tests with them";
    DailyUpdateTest::SetUp();
    app.dir.WriteFile("Sites\\wallpaper1.bmp", "earlier bitmap");
    app.desktop.wallpaper = DataFile("wallpaper1.bmp");
  }

  // The proxy's address and port, as the script gives them.
  void UseTinyproxy(const std::string& password) {
    const std::string proxy = TestServers();
    AppContext& c = app.ctx();
    c.form.CheckBox4.checked = true;
    c.form.Edit1.text = proxy.substr(0, proxy.find(':'));
    c.form.Edit2.text = proxy.substr(proxy.find(':') + 1);
    c.form.CheckBox5.checked = true;
    c.form.Edit3.text = "user";
    c.form.Edit4.text = password;
  }

  void ExpectRefusedWith(const std::string& phrase) {
    AppContext& c = app.ctx();
    EXPECT_EQ(c.form.statusText, phrase);
    ASSERT_FALSE(LogLines().empty());
    EXPECT_EQ(LogLines().back().rfind("E " + phrase, 0), 0u) << LogLines().back();
    EXPECT_EQ(c.form.trayIconIndex, 2);
    EXPECT_EQ(app.desktop.calls, 0);
    EXPECT_EQ(app.dir.ReadFile("Sites\\wallpaper1.bmp"), "earlier bitmap");
    EXPECT_FALSE(c.changeRunning);
  }
};

TEST_F(OverHttps, AGoodChainInstallsThePictureDirectlyAndThroughTinyproxy) {
  AppContext& c = app.ctx();
  // potd.txt names https://good.dova.test/picture.jpg, a 64 x 48 JPEG.
  UseChannel("https://good.dova.test/potd.txt");
  DailyPictureUpdate(c, true);
  EXPECT_EQ(app.desktop.calls, 1);
  EXPECT_EQ(c.CurrentWallpaper, "https://good.dova.test/picture.jpg");
  int width = 0, height = 0;
  ASSERT_TRUE(ReadBmpSize(app.desktop.wallpaper, width, height));
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 48);
  EXPECT_EQ(c.form.statusText, "");

  // Through tinyproxy's tunnel, with its login; the page is reached by a redirect on https.
  UseTinyproxy("pass");
  UseChannel("https://good.dova.test/redirect?status=301&to=/potd.txt");
  DailyPictureUpdate(c, true);
  EXPECT_EQ(app.desktop.calls, 2);
  EXPECT_EQ(c.form.statusText, "");

  // The wrong password: tinyproxy's 407 is named.
  UseTinyproxy("wrong");
  DailyPictureUpdate(c, true);
  EXPECT_EQ(c.form.statusText, P("proxyloginfailed"));
  EXPECT_EQ(app.desktop.calls, 2);
}

TEST_F(OverHttps, EveryBadCertificateIsRefusedByItsNameAndTheWallpaperStays) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"expired", "certexpired"},      {"notyetvalid", "certexpired"},
      {"wrongname", "certwrongname"},  {"selfsigned", "certnottrusted"},
      {"untrusted", "certnottrusted"}, {"noserverauth", "certnotforservers"},
      {"hangup", "tlsfailed"},         {"alert", "tlsfailed"},
      {"plainhttp", "tlsfailed"},      {"tls13only", "tlsfailed"}};
  for (const auto& [server, key] : cases) {
    SCOPED_TRACE(server);
    UseChannel("https://" + server + ".dova.test/potd.txt");
    DailyPictureUpdate(app.ctx(), true);
    ExpectRefusedWith(P(key.c_str()));
  }
}

TEST_F(OverHttps, NoRedirectLeadsFromHttpsToHttp) {
  UseChannel("https://good.dova.test/redirect?status=302&to=" + site.Url("/potd"));
  DailyPictureUpdate(app.ctx(), true);
  ExpectRefusedWith(P("redirecttohttp"));
  EXPECT_TRUE(site.Requests().empty());
}

TEST_F(OverHttps, TheLimitIsExactToTheByteAndACutBodyIsNoPicture) {
  FakeFetchHost host;
  const std::string head =
      "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: 100000\r\n\r\n";
  const long long whole = static_cast<long long>(head.size()) + 100000;
  for (bool limitSpeed : {false, true}) {
    host.settings.limitSpeed = limitSpeed;
    host.settings.speed = "100";
    auto fetch = [&](const std::string& url, long long limit) {
      return DownloadWith([&](std::FILE* file) {
        return FetchToFile(host, host.settings, url, limit, file, QuickTimeouts());
      });
    };
    Download d = fetch("https://good.dova.test/bytes/100000", whole + 1);
    EXPECT_EQ(d.result, FetchResult::Success);
    EXPECT_FALSE(d.cutAtLimit);
    ASSERT_EQ(static_cast<long long>(d.bytes.size()), whole);
    for (std::size_t i = 0; i < 100000; ++i)
      ASSERT_EQ(static_cast<unsigned char>(d.bytes[head.size() + i]), i % 251) << i;
    EXPECT_EQ(host.lastProgress, "Downloaded " + std::to_string(whole));
    EXPECT_TRUE(fetch("https://good.dova.test/bytes/100000", whole).cutAtLimit);
  }
  // A TCP close in the middle of the body, without close_notify.
  EXPECT_EQ(DownloadWith([&](std::FILE* file) {
              return FetchToFile(host, host.settings, "https://cutbody.dova.test/bytes/100000",
                                 1000000, file, QuickTimeouts());
            }).result,
            FetchResult::SocketFailed);
}

}  // namespace
}  // namespace dova::testing
