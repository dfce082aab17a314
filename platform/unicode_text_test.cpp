#include "platform/unicode_text.h"

#include <gtest/gtest.h>

namespace dova {
namespace {

TEST(UnicodeText, EveryPlaneGoesToUtf16AndBack) {
  // ASCII, Cyrillic (2 bytes), Chinese (3 bytes), an emoji outside the basic plane (4 bytes).
  const std::string text = "C:\\Картинки\\山水画😀.jpg";
  const std::u16string wide = Utf16FromUtf8(text);
  EXPECT_EQ(wide, u"C:\\Картинки\\山水画😀.jpg");
  EXPECT_EQ(wide.size(), 21u);  // the emoji takes a surrogate pair
  EXPECT_EQ(Utf8FromUtf16(wide), text);
  EXPECT_EQ(Utf16FromUtf8(""), u"");
  EXPECT_EQ(Utf8FromUtf16(u""), "");
  // A zero character is a character like any other (the dialogs' lists are built of them).
  EXPECT_EQ(Utf16FromUtf8(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(UnicodeText, LoneSurrogatesOfWindowsNamesComeBackUnchanged) {
  // NTFS allows a name holding half of a surrogate pair; it must survive the trip through UTF-8.
  const std::u16string name = {u'a', 0xD83D, u'b', 0xDC00};
  const std::string utf8 = Utf8FromUtf16(name);
  EXPECT_EQ(utf8, "a\xED\xA0\xBD" "b\xED\xB0\x80");
  EXPECT_EQ(Utf16FromUtf8(utf8), name);
  EXPECT_FALSE(IsValidUtf8(utf8));
}

TEST(UnicodeText, MalformedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(Utf16FromUtf8("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");   // overlong "/"
  EXPECT_EQ(Utf16FromUtf8("\xE4\xB8"), u"\uFFFD\uFFFD");   // cut short
  EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
}

TEST(UnicodeText, ValidityAsciiAndTheMark) {
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("Größe 山 😀"));
  EXPECT_FALSE(IsValidUtf8("Gr\xF6\xDF" "e"));                   // Windows-1252
  EXPECT_FALSE(IsValidUtf8("\xCA\xE0\xED\xE0\xEB\xFB"));         // Windows-1251
  EXPECT_FALSE(IsValidUtf8("\xF0\x9F\x98"));                     // cut short
  EXPECT_FALSE(HasNonAscii("C:\\Pictures\\sea.jpg"));
  EXPECT_TRUE(HasNonAscii("море"));
  EXPECT_TRUE(StartsWithUtf8Bom("\xEF\xBB\xBFtext"));
  EXPECT_FALSE(StartsWithUtf8Bom("\xEF\xBB"));
  EXPECT_EQ(std::string(kUtf8Bom), "\xEF\xBB\xBF");
}

TEST(UnicodeText, FirstCharactersCountsCharactersNotBytes) {
  EXPECT_EQ(FirstCharacters("Größe", 3), "Grö");
  EXPECT_EQ(FirstCharacters("山水画😀", 4), "山水画😀");
  EXPECT_EQ(FirstCharacters("山水画😀", 2), "山水");
  EXPECT_EQ(FirstCharacters("ab", 5), "ab");
  EXPECT_EQ(FirstCharacters("a\xFF" "bc", 3), "a\xFF" "b");
}

}  // namespace
}  // namespace dova
