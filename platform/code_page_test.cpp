// The code pages on the system at hand: iconv natively, the system's tables on Windows.
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/ansi_code_page.h"

namespace dova {
namespace {

TEST(CodePage, WesternAndCyrillicTextsReadAndWriteExactly) {
  EXPECT_EQ(CodePageToUtf8("Gr\xF6\xDF" "e \x80", kCodePageWestern), "Größe €");
  EXPECT_EQ(CodePageToUtf8("\xCA\xE0\xED\xE0\xEB\xFB \xB9", kCodePageCyrillic), "Каналы №");
  std::string bytes;
  ASSERT_TRUE(Utf8ToCodePage("Größe €", kCodePageWestern, bytes));
  EXPECT_EQ(bytes, "Gr\xF6\xDF" "e \x80");
  ASSERT_TRUE(Utf8ToCodePage("Каналы №", kCodePageCyrillic, bytes));
  EXPECT_EQ(bytes, "\xCA\xE0\xED\xE0\xEB\xFB \xB9");
  ASSERT_TRUE(Utf8ToCodePage("", kCodePageWestern, bytes));
  EXPECT_EQ(bytes, "");
}

TEST(CodePage, EveryByteOfASingleByteCodePageComesBackAsItself) {
  // Earlier versions stored whatever bytes the system gave them, the code page's gaps included
  // (0x81 in Windows-1252, 0x98 in Windows-1251).
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  for (const unsigned codePage : {kCodePageWestern, kCodePageCyrillic, 1250u}) {
    const std::string text = CodePageToUtf8(all, codePage);
    std::string back;
    ASSERT_TRUE(Utf8ToCodePage(text, codePage, back)) << codePage;
    EXPECT_EQ(back, all) << codePage;
  }
}

TEST(CodePage, CharactersWithoutAPlaceDoNotFit) {
  std::string bytes;
  EXPECT_FALSE(Utf8ToCodePage("山水画", kCodePageWestern, bytes));
  EXPECT_FALSE(Utf8ToCodePage("😀", kCodePageCyrillic, bytes));
  EXPECT_FALSE(Utf8ToCodePage("Картинки", kCodePageWestern, bytes));
  EXPECT_FALSE(Utf8ToCodePage("Größe", kCodePageCyrillic, bytes));
  // No "best fit": an accented letter is not taken for its plain one.
  EXPECT_FALSE(Utf8ToCodePage("é", kCodePageCyrillic, bytes));
  EXPECT_FALSE(Utf8ToCodePage("Gr\xF6\xDF" "e", kCodePageWestern, bytes));  // not UTF-8
}

TEST(CodePage, DoubleByteCodePages) {
  std::string bytes;
  ASSERT_TRUE(Utf8ToCodePage("山水画", 936, bytes));
  EXPECT_EQ(bytes.size(), 6u);
  EXPECT_EQ(CodePageToUtf8(bytes, 936), "山水画");
  ASSERT_TRUE(Utf8ToCodePage("日本語", 932, bytes));
  EXPECT_EQ(CodePageToUtf8(bytes, 932), "日本語");
}

TEST(CodePage, TheSystemsAnsiCodePage) {
#ifdef _WIN32
  EXPECT_NE(AnsiCodePage(), 0u);
#else
  testing::ScopedAnsiCodePage cyrillic(1251);
  EXPECT_TRUE(cyrillic.Active());
  EXPECT_EQ(AnsiCodePage(), 1251u);
#endif
}

}  // namespace
}  // namespace dova
