#include "text/language_code_page.h"

#include <gtest/gtest.h>

#include "tests/support/ansi_code_page.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_dir.h"
#include "tests/support/utf16_file.h"
#include "text/language_pack.h"

namespace dova {
namespace {

using testing::ScopedAnsiCodePage;
using testing::TempDir;

TEST(LanguageCodePage, ByEnglishOrOwnNameWithoutRegardToCase) {
  EXPECT_EQ(LanguageCodePage("Russian"), 1251u);
  EXPECT_EQ(LanguageCodePage("russian"), 1251u);
  EXPECT_EQ(LanguageCodePage("Русский"), 1251u);
  EXPECT_EQ(LanguageCodePage("German"), 1252u);
  EXPECT_EQ(LanguageCodePage("Deutsch"), 1252u);
  EXPECT_EQ(LanguageCodePage("English"), 1252u);
  EXPECT_EQ(LanguageCodePage("Polski"), 1250u);
  EXPECT_EQ(LanguageCodePage("Greek"), 1253u);
  EXPECT_EQ(LanguageCodePage("Japanese"), 932u);
  EXPECT_EQ(LanguageCodePage("Chinese Traditional"), 950u);
  EXPECT_EQ(LanguageCodePage("Portuguese (Brazil)"), 1252u);
  EXPECT_EQ(LanguageCodePage("Ukrainian2"), 1251u);
  EXPECT_EQ(LanguageCodePage("Klingon"), 0u);
  EXPECT_EQ(LanguageCodePage(""), 0u);
}

TEST(LanguageCodePage, AFileIsUtf8WhenMarkedOrWellFormedElseInItsLanguagesCodePage) {
  EXPECT_EQ(DecodeLanguageFile("\xEF\xBB\xBFk=Größe", "Russian"), "k=Größe");
  EXPECT_EQ(DecodeLanguageFile("k=Größe", "Russian"), "k=Größe");
  EXPECT_EQ(DecodeLanguageFile("k=Gr\xF6\xDF" "e", "Deutsch"), "k=Größe");
  EXPECT_EQ(DecodeLanguageFile("k=\xCA\xE0\xED\xE0\xEB\xFB", "Russian"), "k=Каналы");
  EXPECT_EQ(DecodeLanguageFile("k=plain", "Klingon"), "k=plain");
  // A language not known here: the system's ANSI code page, as earlier versions showed it.
  ScopedAnsiCodePage cyrillicSystem(1251);
  if (cyrillicSystem.Active()) {
    EXPECT_EQ(DecodeLanguageFile("k=\xCA\xE0\xED\xE0\xEB\xFB", "Klingon"), "k=Каналы");
  }
}

// The interface in German on a Russian system and in Russian on a Western one: each file is
// read in its own language's code page, whatever the system's.
TEST(LanguagePack, EachLanguageFileShowsItsOwnLettersOnEverySystem) {
  TempDir dir;
  dir.WriteFile("German.ini", "[Phrases]\r\nimagesize=Bildgr\xF6\xDF" "e\r\n"
                              "startwithwindows=Mit Windows starten\r\n");
  dir.WriteFile("Russian.ini", "[Phrases]\r\nimagesize=\xD0\xE0\xE7\xEC\xE5\xF0 "
                               "\xE8\xE7\xEE\xE1\xF0\xE0\xE6\xE5\xED\xE8\xFF\r\n");
  dir.WriteFile("Chinese.ini", "\xEF\xBB\xBF[Phrases]\r\nimagesize=图片大小\r\n");
  // Saved as "Unicode" in Notepad, either byte order.
  dir.WriteFile("Japanese.ini", testing::Utf16FileBytes(u"[Phrases]\r\nimagesize=画像サイズ😀\r\n"));
  dir.WriteFile("Greek.ini",
                testing::Utf16FileBytes(u"[Phrases]\r\nimagesize=Μέγεθος εικόνας\r\n", true));
  for (const unsigned system : {1252u, 1251u}) {
    ScopedAnsiCodePage ansi(system);
    LanguagePack german, russian, chinese, japanese, greek;
    german.LoadPhrases(dir.Path() + "German.ini");
    russian.LoadPhrases(dir.Path() + "Russian.ini");
    chinese.LoadPhrases(dir.Path() + "Chinese.ini");
    japanese.LoadPhrases(dir.Path() + "Japanese.ini");
    greek.LoadPhrases(dir.Path() + "Greek.ini");
    EXPECT_EQ(japanese.GetPhrase("imagesize"), "画像サイズ😀") << system;
    EXPECT_EQ(greek.GetPhrase("imagesize"), "Μέγεθος εικόνας") << system;
    EXPECT_EQ(german.GetPhrase("imagesize"), "Bildgröße") << system;
    EXPECT_EQ(german.GetPhrase("startwithwindows"), "Mit Windows starten");
    EXPECT_EQ(russian.GetPhrase("imagesize"), "Размер изображения") << system;
    EXPECT_EQ(chinese.GetPhrase("imagesize"), "图片大小") << system;
  }
}

TEST(LanguagePack, TheShippedRussianFileReadsAsTheDesignTexts) {
  LanguagePack pack;
  pack.LoadPhrases(testing::CorePath(DOVA_SOURCE_DIR "/Languages/Russian.ini"));
  EXPECT_EQ(pack.GetPhrase("pictureoftheday"), "Картинка дня");
  EXPECT_EQ(pack.GetPhrase("startwithwindows"), "Запускаться вместе с Windows");
  EXPECT_EQ(pack.GetPhrase("errorimagesize1"), "Картинка слишком велика: ");
}

}  // namespace
}  // namespace dova
