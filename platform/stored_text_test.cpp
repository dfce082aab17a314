// dova.ini and dova.lst as earlier versions wrote them and as this one writes them.
#include "platform/stored_text.h"

#include <gtest/gtest.h>

#include "tests/support/ansi_code_page.h"
#include "tests/support/temp_dir.h"

namespace dova {
namespace {

using testing::ScopedAnsiCodePage;
using testing::TempDir;

TEST(StoredText, ReadInTheAnsiCodePageUnlessItStartsWithTheMark) {
  EXPECT_EQ(DecodeStoredText("C:\\Gr\xF6\xDF"
                             "e",
                             kCodePageWestern),
            "C:\\Größe");
  EXPECT_EQ(DecodeStoredText("C:\\\xEC\xEE\xF0\xE5", kCodePageCyrillic), "C:\\море");
  EXPECT_EQ(DecodeStoredText("\xEF\xBB\xBF"
                             "C:\\山水画😀",
                             kCodePageWestern),
            "C:\\山水画😀");
  // Without the mark even UTF-8 bytes are read in the code page, as earlier versions did.
  EXPECT_EQ(DecodeStoredText("\xC3\xB6", kCodePageWestern), "Ã¶");
  EXPECT_EQ(DecodeStoredText("", kCodePageWestern), "");
}

TEST(StoredText, WrittenInTheAnsiCodePageWhenItFitsElseUtf8WithTheMark) {
  EXPECT_EQ(EncodeStoredText("C:\\Größe", kCodePageWestern),
            "C:\\Gr\xF6\xDF"
            "e");
  EXPECT_EQ(EncodeStoredText("C:\\море", kCodePageCyrillic), "C:\\\xEC\xEE\xF0\xE5");
  EXPECT_EQ(EncodeStoredText("C:\\море", kCodePageWestern),
            "\xEF\xBB\xBF"
            "C:\\море");
  EXPECT_EQ(EncodeStoredText("C:\\山水画😀", kCodePageCyrillic),
            "\xEF\xBB\xBF"
            "C:\\山水画😀");
  // Bytes that were never text (a picture address from a channel) keep their bytes.
  EXPECT_EQ(DecodeStoredText(EncodeStoredText("\xFF\xFE", kCodePageWestern), kCodePageWestern),
            "\xFF\xFE");
  // A text whose code-page bytes would start as the mark is stored as UTF-8 instead.
  EXPECT_EQ(EncodeStoredText("ï»¿x", kCodePageWestern),
            "\xEF\xBB\xBF"
            "ï»¿x");
  for (const char* text : {"", "plain", "Größe", "море", "山水画😀", "ï»¿x", "ÿþx", "þÿx"})
    for (const unsigned codePage : {kCodePageWestern, kCodePageCyrillic})
      EXPECT_EQ(DecodeStoredText(EncodeStoredText(text, codePage), codePage), text);
}

// A dova.ini of an earlier version on a Russian system: Windows-1251 bytes.
const char kRussianIni[] =
    "[Main]\r\nLanguage=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n"
    "CurrentWallpaper=C:\\\xCA\xE0\xF0\xF2\xE8\xED\xEA\xE8\\\xEC\xEE\xF0\xE5.jpg\r\n"
    "; \xEA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE9\r\n[OffLine]\r\nHours=13\r\n";

TEST(StoredIniFile, AFileOfEarlierVersionsReadsAsItDidAndStaysInItsCodePage) {
  ScopedAnsiCodePage russianSystem(kCodePageCyrillic);
  if (!russianSystem.Active()) GTEST_SKIP() << "needs a system with the Cyrillic code page";
  TempDir dir;
  const std::string path = dir.WriteFile("dova.ini", kRussianIni);
  std::unique_ptr<IniFile> ini = OpenStoredIniFile(path);
  EXPECT_EQ(ini->ReadString("Main", "Language", ""), "Русский");
  EXPECT_EQ(ini->ReadString("Main", "CurrentWallpaper", ""), "C:\\Картинки\\море.jpg");
  // Writing back what was read changes no byte.
  ASSERT_TRUE(ini->WriteString("Main", "Language", "Русский"));
  ASSERT_TRUE(ini->WriteString("Main", "CurrentWallpaper", "C:\\Картинки\\море.jpg"));
  ASSERT_TRUE(ini->WriteString("OffLine", "Hours", "13"));
  EXPECT_EQ(dir.ReadFile("dova.ini"), kRussianIni);
}

TEST(StoredIniFile, ATextBeyondTheCodePageTurnsTheFileIntoUtf8AndBack) {
  ScopedAnsiCodePage westernSystem(kCodePageWestern);
  if (!westernSystem.Active()) GTEST_SKIP() << "needs a system with the Western code page";
  TempDir dir;
  const std::string path = dir.WriteFile("dova.ini",
                                         "[Main]\r\nLanguage=Deutsch\r\n"
                                         "; F\xFCr sp\xE4ter\r\n");
  std::unique_ptr<IniFile> ini = OpenStoredIniFile(path);
  ASSERT_TRUE(ini->WriteString("Main", "CurrentWallpaper", "C:\\Картинки\\山水画😀.jpg"));
  // Every line of the file comes along, the comment's umlauts in UTF-8 now.
  EXPECT_EQ(dir.ReadFile("dova.ini"),
            "\xEF\xBB\xBF[Main]\r\nLanguage=Deutsch\r\n; Für später\r\n"
            "CurrentWallpaper=C:\\Картинки\\山水画😀.jpg\r\n");
  EXPECT_EQ(OpenStoredIniFile(path)->ReadString("Main", "CurrentWallpaper", ""),
            "C:\\Картинки\\山水画😀.jpg");
  EXPECT_EQ(OpenStoredIniFile(path)->ReadKeyNames("Main", 16384),
            (std::vector<std::string>{"Language", "CurrentWallpaper"}));
  // Once the text fits the code page again, the file is as an earlier version would write it.
  ASSERT_TRUE(ini->WriteString("Main", "CurrentWallpaper", "C:\\Bilder\\See.jpg"));
  EXPECT_EQ(dir.ReadFile("dova.ini"),
            "[Main]\r\nLanguage=Deutsch\r\n; F\xFCr sp\xE4ter\r\n"
            "CurrentWallpaper=C:\\Bilder\\See.jpg\r\n");
}

TEST(StoredIniFile, ValuesAreCutAtCharactersNotBytes) {
  TempDir dir;
  const std::string path =
      dir.WriteFile("dova.ini", "\xEF\xBB\xBF[Main]\r\nName=\"山水画😀 sea\"\r\n");
  std::unique_ptr<IniFile> ini = OpenStoredIniFile(path);
  EXPECT_EQ(ini->ReadString("Main", "Name", "", 5), "山水画😀");
  EXPECT_EQ(ini->ReadString("Main", "Name", ""), "山水画😀 sea");
  EXPECT_EQ(ini->ReadString("Main", "Missing", "Größe  ", 4), "Grö");
}

}  // namespace
}  // namespace dova
