#include "form/channel_catalogue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "form/channel_grid.h"
#include "platform/ini_file.h"
#include "tests/support/test_app.h"

namespace dova {
namespace {

std::unique_ptr<IniFile> SettingsFile(const AppContext& context) {
  return OpenIniFile(context.DataDir + "dova.ini");
}

using testing::TestApp;

std::string Site(int n, const std::string& url, const std::string& wpUrl, const std::string& image,
                 const std::string& enabled) {
  return "[Site" + std::to_string(n) + "]\r\nURL=" + url + "\r\nWPURL=" + wpUrl +
         "\r\nIMAGE=" + image + "\r\nENABLED=" + enabled + "\r\n";
}

// A TestApp with DataDir + "dova.ini" holding `contents`.
struct CatalogueFixture : ::testing::Test {
  TestApp app;
  std::string IniPath() { return app.ctx().DataDir + "dova.ini"; }
  void WriteIni(const std::string& contents) { app.dir.WriteFile("Sites\\dova.ini", contents); }
  std::string ReadIni() { return app.dir.ReadFile("Sites\\dova.ini"); }
  ChannelCatalogue& Channels() { return app.ctx().channels; }
};

TEST_F(CatalogueFixture, ListEndsAtTheFirstGapAndLaterSectionsStayUntouched) {
  const std::string site4 =
      "[Site4]\r\nURL=http://four/\r\nWPURL=http://four/p\r\n"
      "IMAGE=four.bmp\r\nENABLED=1\r\nOTHER=kept\r\n";
  WriteIni(Site(1, "http://one/", "http://one/p", "one.bmp", "0") +
           Site(2, "http://two/", "http://two/p", "two.bmp", "1") + site4);
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));

  ASSERT_EQ(Channels().Count(), 2);
  EXPECT_EQ(Channels().Channels()[0].Url, "http://one/");
  EXPECT_EQ(Channels().Channels()[1].WpUrl, "http://two/p");
  EXPECT_EQ(app.ctx().form.StringGrid1.rowCount, 2);
  ASSERT_NE(Channels().CurrentChannel(), nullptr);
  EXPECT_EQ(Channels().CurrentChannel()->Image, "two.bmp");

  StringGrid1Click(app.ctx(), 0);
  ASSERT_TRUE(SaveChannels(app.ctx(), *SettingsFile(app.ctx())));
  const std::string saved = ReadIni();
  EXPECT_NE(saved.find(site4), std::string::npos) << saved;
  std::unique_ptr<IniFile> ini = OpenIniFile(IniPath());
  EXPECT_EQ(ini->ReadString("Site1", "ENABLED", ""), "1");
  EXPECT_EQ(ini->ReadString("Site2", "ENABLED", ""), "0");
  EXPECT_EQ(ini->ReadString("Site4", "ENABLED", ""), "1");
  EXPECT_EQ(ini->ReadString("Site3", "URL", "absent"), "absent");
}

TEST_F(CatalogueFixture, UrlDashEndsTheListAtThatSection) {
  WriteIni(Site(1, "http://one/", "http://one/p", "one.bmp", "1") +
           Site(2, "-", "http://two/p", "two.bmp", "0") +
           Site(3, "http://three/", "http://three/p", "three.bmp", "0"));
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));
  EXPECT_EQ(Channels().Count(), 1);
  EXPECT_EQ(app.ctx().form.StringGrid1.rowCount, 1);
}

TEST_F(CatalogueFixture, LowerOfTwoEnabledChannelsIsCurrentUntilAClick) {
  WriteIni(Site(1, "http://one/", "http://one/p", "one.bmp", "0") +
           Site(2, "http://two/", "http://two/p", "two.bmp", "1") +
           Site(3, "http://three/", "http://three/p", "three.bmp", "1"));
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));
  // Both keep their mark; the selection starts on row 0 whichever channel is current.
  EXPECT_TRUE(Channels().Channels()[1].Enabled);
  EXPECT_TRUE(Channels().Channels()[2].Enabled);
  EXPECT_EQ(Channels().CurrentChannel()->WpUrl, "http://two/p");
  EXPECT_EQ(app.ctx().form.StringGrid1.row, 0);

  StringGrid1Click(app.ctx(), 2);
  EXPECT_EQ(app.ctx().form.StringGrid1.row, 2);
  EXPECT_FALSE(Channels().Channels()[0].Enabled);
  EXPECT_FALSE(Channels().Channels()[1].Enabled);
  EXPECT_TRUE(Channels().Channels()[2].Enabled);
  EXPECT_EQ(Channels().CurrentChannel()->WpUrl, "http://three/p");
}

TEST_F(CatalogueFixture, ClickOnTheThirdRowIsWhatTheFileHoldsAfterSaving) {
  WriteIni(Site(1, "http://one/", "http://one/p", "one.bmp", "1") +
           Site(2, "http://two/", "http://two/p", "two.bmp", "1") +
           Site(3, "http://three/", "http://three/p", "three.bmp", "0") +
           Site(4, "http://four/", "http://four/p", "four.bmp", "0"));
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));
  const int repaints = app.pump.repaints;
  StringGrid1Click(app.ctx(), 2);
  EXPECT_GT(app.pump.repaints, repaints);
  ASSERT_TRUE(SaveChannels(app.ctx(), *SettingsFile(app.ctx())));

  std::unique_ptr<IniFile> ini = OpenIniFile(IniPath());
  for (int n = 1; n <= 4; ++n)
    EXPECT_EQ(ini->ReadString("Site" + std::to_string(n), "ENABLED", "?"), n == 3 ? "1" : "0")
        << "Site" << n;
}

TEST_F(CatalogueFixture, LoadAndSaveKeepEveryFieldByteForByte) {
  // Cyrillic bytes (Windows-1251), blanks inside values, an unknown key, a comment, a [Main]
  // section and a section after the gap: an unchanged catalogue writes the same file back.
  const std::string contents =
      "; channels\r\n"
      "[Main]\r\nCurrentWallpaper=http://one/pictures/today 1.jpg\r\n"
      "[Site1]\r\nURL=http://one/\xcf\xf0\xe8\xec\xe5\xf0\r\nWPURL=http://one/potd?day=1&x=2\r\n"
      "IMAGE=logo one.bmp\r\nENABLED=0\r\nCOMMENT=kept as it is\r\n"
      "[Site2]\r\nURL=http://two/\r\nWPURL=HTTP://TWO/P\r\nIMAGE=\xeb\xee\xe3\xee.bmp\r\n"
      "ENABLED=1\r\nPICTURE=json:/hdurl|json:/url\r\nSUFFIX=_UHD.jpg\r\nCAPTION=json:/title\r\n"
      "[Site4]\r\nURL=http://four/\r\n";
  WriteIni(contents);
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));
  ASSERT_EQ(Channels().Count(), 2);
  EXPECT_EQ(Channels().Channels()[0].Url, "http://one/\xcf\xf0\xe8\xec\xe5\xf0");
  EXPECT_EQ(Channels().Channels()[0].Image, "logo one.bmp");
  EXPECT_EQ(Channels().Channels()[1].WpUrl, "HTTP://TWO/P");
  ASSERT_TRUE(SaveChannels(app.ctx(), *SettingsFile(app.ctx())));
  EXPECT_EQ(ReadIni(), contents);

  // A second start reads what the first one wrote.
  TestApp second;
  second.dir.WriteFile("Sites\\dova.ini", ReadIni());
  LoadChannels(second.ctx(), *SettingsFile(second.ctx()));
  ASSERT_EQ(second.ctx().channels.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    const Channel& a = Channels().Channels()[i];
    const Channel& b = second.ctx().channels.Channels()[i];
    EXPECT_EQ(a.Url, b.Url);
    EXPECT_EQ(a.WpUrl, b.WpUrl);
    EXPECT_EQ(a.Image, b.Image);
    EXPECT_EQ(a.Enabled, b.Enabled);
    EXPECT_EQ(a.Picture, b.Picture);
    EXPECT_EQ(a.Caption, b.Caption);
  }
  EXPECT_EQ(second.ctx().channels.Channels()[1].Suffix, "_UHD.jpg");
}

TEST_F(CatalogueFixture, MissingKeysReadAsDashAndAreWrittenSo) {
  WriteIni(
      "[Site1]\r\nURL=http://one/\r\nENABLED=yes\r\n"
      "[Site2]\r\nURL=http://two/\r\nWPURL=http://two/p\r\nENABLED= 1 \r\n");
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));
  ASSERT_EQ(Channels().Count(), 2);
  const Channel& first = Channels().Channels()[0];
  EXPECT_EQ(first.WpUrl, "-");
  EXPECT_EQ(first.Image, "-");
  EXPECT_FALSE(first.Enabled);                    // only "1" marks the current channel
  EXPECT_TRUE(Channels().Channels()[1].Enabled);  // the reader drops the blanks around a value
  EXPECT_EQ(ChannelLogoPath(app.ctx(), 0), "");
  EXPECT_EQ(ChannelLogoPath(app.ctx(), 5), "");

  ASSERT_TRUE(SaveChannels(app.ctx(), *SettingsFile(app.ctx())));
  std::unique_ptr<IniFile> ini = OpenIniFile(IniPath());
  EXPECT_EQ(ini->ReadString("Site1", "WPURL", ""), "-");
  EXPECT_EQ(ini->ReadString("Site1", "IMAGE", ""), "-");
  EXPECT_EQ(ini->ReadString("Site1", "ENABLED", ""), "0");
  EXPECT_EQ(ini->ReadString("Site2", "ENABLED", ""), "1");
}

TEST_F(CatalogueFixture, EmptyCatalogueShowsOneRowAndAClickChangesNothing) {
  // No dova.ini at all.
  app.ctx().form.StringGrid1.rowCount = 7;
  app.ctx().form.StringGrid1.row = 5;
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));
  EXPECT_EQ(Channels().Count(), 0);
  EXPECT_EQ(Channels().CurrentChannel(), nullptr);
  EXPECT_EQ(app.ctx().form.StringGrid1.rowCount, 1);
  EXPECT_EQ(app.ctx().form.StringGrid1.row, 0);

  StringGrid1Click(app.ctx(), 0);
  StringGrid1Click(app.ctx(), -1);
  StringGrid1Click(app.ctx(), 3);
  EXPECT_EQ(Channels().Count(), 0);
  EXPECT_EQ(Channels().CurrentChannel(), nullptr);
  EXPECT_EQ(app.ctx().form.StringGrid1.row, 0);

  // Saving an empty catalogue writes no channel sections.
  ASSERT_TRUE(SaveChannels(app.ctx(), *SettingsFile(app.ctx())));
  EXPECT_EQ(ReadIni().find("[Site"), std::string::npos);
}

TEST_F(CatalogueFixture, ClickOutsideTheChannelsKeepsTheCurrentOne) {
  WriteIni(Site(1, "http://one/", "http://one/p", "one.bmp", "0") +
           Site(2, "http://two/", "http://two/p", "two.bmp", "1"));
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));
  StringGrid1Click(app.ctx(), 2);
  StringGrid1Click(app.ctx(), -1);
  EXPECT_EQ(Channels().CurrentChannel()->WpUrl, "http://two/p");
  EXPECT_EQ(ChannelLogoPath(app.ctx(), 1), app.ctx().DataDir + "two.bmp");
}

TEST_F(CatalogueFixture, ReloadingReplacesTheChannels) {
  WriteIni(Site(1, "http://one/", "http://one/p", "one.bmp", "1") +
           Site(2, "http://two/", "http://two/p", "two.bmp", "0"));
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));
  WriteIni(Site(1, "http://new/", "http://new/p", "new.bmp", "0"));
  LoadChannels(app.ctx(), *SettingsFile(app.ctx()));
  ASSERT_EQ(Channels().Count(), 1);
  EXPECT_EQ(Channels().Channels()[0].Url, "http://new/");
  EXPECT_EQ(Channels().CurrentChannel(), nullptr);
}

TEST(ChannelCatalogueSave, ReportsARefusedWrite) {
  testing::TempDir dir;
  {
    testing::TempDir source;
    source.WriteFile("dova.ini", Site(1, "http://one/", "http://one/p", "one.bmp", "1"));
    ChannelCatalogue channels;
    std::unique_ptr<IniFile> ini = OpenIniFile(source.Path() + "dova.ini");
    channels.Load(*ini);
    ASSERT_EQ(channels.Count(), 1);
    // A file in a directory that does not exist cannot be written.
    std::unique_ptr<IniFile> nowhere = OpenIniFile(dir.Path() + "missing\\dova.ini");
    EXPECT_FALSE(channels.Save(*nowhere));
  }
}

}  // namespace
}  // namespace dova
