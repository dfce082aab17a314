// Writing INI files: in place, appended keys and sections, other lines kept, failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/ini_file.h"
#include "tests/support/ini_file_test_support.h"

namespace dova::testing {
namespace {

using Names = std::vector<std::string>;

class IniFileWriteTest : public IniFileTest {};

TEST_P(IniFileWriteTest, ANewFileGetsSectionsAndKeysInWriteOrder) {
  auto ini = Open();
  ASSERT_TRUE(ini->WriteString("OffLine", "Path", "C:\\Pictures"));
  ASSERT_TRUE(ini->WriteString("Offline", "PreviousSetWallpaper", "46364.5882523148"));
  ASSERT_TRUE(ini->WriteString("Main", "Language", "English"));
  ASSERT_TRUE(ini->WriteString("OFFLINE", "path", "D:\\"));
  // Byte for byte on every implementation: a header in the case first written, CR LF, no blank
  // lines, the key keeping its first spelling.
  EXPECT_EQ(FileBytes(),
            "[OffLine]\r\nPath=D:\\\r\nPreviousSetWallpaper=46364.5882523148\r\n"
            "[Main]\r\nLanguage=English\r\n");
  EXPECT_EQ(ini->ReadString("offline", "PATH", ""), "D:\\");
}

TEST_P(IniFileWriteTest, AWriteReplacesTheValueInPlaceAndKeepsEveryOtherLine) {
  const std::string before =
      "; Dova settings\r\n[Main]\r\n  language = Russian  \r\nUnknown=kept\r\n\r\n"
      "[OnLine]\r\nProxyServer=proxy\r\n";
  auto ini = Put(before);
  ASSERT_TRUE(ini->WriteString("MAIN", "Language", "English"));
  ExpectFileBytes(
      "; Dova settings\r\n[Main]\r\nlanguage=English\r\nUnknown=kept\r\n\r\n"
      "[OnLine]\r\nProxyServer=proxy\r\n");
  EXPECT_EQ(ini->ReadString("Main", "Language", ""), "English");
  EXPECT_EQ(ini->ReadString("Main", "Unknown", ""), "kept");
  EXPECT_EQ(ini->ReadString("OnLine", "ProxyServer", ""), "proxy");
  EXPECT_EQ(ini->ReadKeyNames("Main", 100), (Names{"language", "Unknown"}));
}

TEST_P(IniFileWriteTest, ANewKeyFollowsTheLastLineOfItsSection) {
  auto ini = Put("[A]\r\nx=1\r\n; note\r\n\r\n\r\n[B]\r\ny=2\r\n[Empty]\r\n[C]\r\nz=3\r\n");
  ASSERT_TRUE(ini->WriteString("a", "new", "n"));
  ASSERT_TRUE(ini->WriteString("Empty", "e", "4"));
  ExpectFileBytes("[A]\r\nx=1\r\n; note\r\nnew=n\r\n\r\n\r\n[B]\r\ny=2\r\n[Empty]\r\ne=4\r\n[C]\r\nz=3\r\n");
  EXPECT_EQ(ini->ReadKeyNames("A", 100), (Names{"x", "new"}));
  EXPECT_EQ(ini->ReadKeyNames("Empty", 100), (Names{"e"}));
  EXPECT_EQ(ini->ReadKeyNames("B", 100), (Names{"y"}));
  EXPECT_EQ(ini->ReadKeyNames("C", 100), (Names{"z"}));
}

TEST_P(IniFileWriteTest, ALineWithoutEqualsIsAKeyWithoutAValue) {
  auto ini = Put("[A]\r\nflag\r\nflag=1\r\nother=2\r\n");
  EXPECT_EQ(ini->ReadString("A", "flag", "D"), "D");  // and it hides the key after it
  EXPECT_EQ(ini->ReadKeyNames("A", 100), (Names{"flag", "other"}));
  ASSERT_TRUE(ini->WriteString("A", "FLAG", "on"));  // gets its value in place
  ExpectFileBytes("[A]\r\nflag=on\r\nflag=1\r\nother=2\r\n");
  EXPECT_EQ(ini->ReadString("A", "flag", "D"), "on");
  EXPECT_EQ(ini->ReadKeyNames("A", 100), (Names{"flag", "flag", "other"}));
}

TEST_P(IniFileWriteTest, OnlyTheFirstSectionOfANameIsWritten) {
  auto ini = Put("[A]\r\nk=1\r\n[a]\r\nj=2\r\n");
  ASSERT_TRUE(ini->WriteString("A", "j", "3"));
  ExpectFileBytes("[A]\r\nk=1\r\nj=3\r\n[a]\r\nj=2\r\n");
  EXPECT_EQ(ini->ReadString("A", "j", ""), "3");
}

TEST_P(IniFileWriteTest, FilesWithoutAFinalLineEndOrWithLfLines) {
  auto ini = Put("[A]\r\nx=1");
  ASSERT_TRUE(ini->WriteString("A", "y", "2"));
  ASSERT_TRUE(ini->WriteString("B", "z", "3"));
  EXPECT_EQ(FileBytes(), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");

  // A file of LF lines keeps them; the portable writer ends its own lines the same way.
  ini = Put("[A]\nx=1\n[B]\ny=2");
  ASSERT_TRUE(ini->WriteString("B", "z", "9"));
  ASSERT_TRUE(ini->WriteString("A", "x", "5"));
  ExpectFileBytes("[A]\nx=5\n[B]\ny=2\nz=9\n");
  EXPECT_EQ(ini->ReadKeyNames("B", 100), (Names{"y", "z"}));
  EXPECT_EQ(ini->ReadString("A", "x", ""), "5");
}

TEST_P(IniFileWriteTest, AByteOrderMarkStaysAtTheStart) {
  auto ini = Put("\xEF\xBB\xBF[Main]\r\nA=1\r\n");
  ASSERT_TRUE(ini->WriteString("Main", "B", "2"));
  ASSERT_TRUE(ini->WriteString("main", "A", "3"));
  EXPECT_EQ(FileBytes(), "\xEF\xBB\xBF[Main]\r\nA=3\r\nB=2\r\n");
}

TEST_P(IniFileWriteTest, GarbageAroundTheWrittenKeyIsLeftAlone) {
  std::string garbage;
  for (int i = 0; i < 300; ++i) garbage += static_cast<char>((i * 37 + 11) & 0xff);
  garbage.erase(std::remove(garbage.begin(), garbage.end(), '\n'), garbage.end());
  garbage.erase(std::remove(garbage.begin(), garbage.end(), '\r'), garbage.end());
  garbage.erase(std::remove(garbage.begin(), garbage.end(), '='), garbage.end());
  garbage.erase(std::remove(garbage.begin(), garbage.end(), '['), garbage.end());
  const std::string longLine(6000, 'l');
  auto ini = Put("[G]\r\n" + garbage + "\r\n" + longLine + "\r\n[H]\r\nk=v\r\n");
  ASSERT_TRUE(ini->WriteString("H", "k", "w"));
  ASSERT_TRUE(ini->WriteString("G", "n", "1"));
  ExpectFileBytes("[G]\r\n" + garbage + "\r\n" + longLine + "\r\nn=1\r\n[H]\r\nk=w\r\n");
  EXPECT_EQ(ini->ReadString("H", "k", ""), "w");
  EXPECT_EQ(ini->ReadString("G", "n", ""), "1");
}

TEST_P(IniFileWriteTest, ValuesReadBackAsTheReaderSeesThem) {
  auto ini = Open();
  ASSERT_TRUE(ini->WriteString("S", "blanks", "  padded  "));
  ASSERT_TRUE(ini->WriteString("S", "quoted", "\"quoted\""));
  ASSERT_TRUE(ini->WriteString("S", "empty", ""));
  ASSERT_TRUE(ini->WriteString("S", "cyrillic", "\xd0\xf3\xf1\xf1\xea\xe8\xe9"));
  ASSERT_TRUE(ini->WriteString("S", "equals", "a=b=c"));
  const std::string longValue(3000, 'v');
  ASSERT_TRUE(ini->WriteString("S", "long", longValue));
  EXPECT_EQ(ini->ReadString("S", "blanks", "D"), "padded");
  EXPECT_EQ(ini->ReadString("S", "quoted", "D"), "quoted");
  EXPECT_EQ(ini->ReadString("S", "empty", "D"), "");
  EXPECT_EQ(ini->ReadString("S", "cyrillic", "D"), "\xd0\xf3\xf1\xf1\xea\xe8\xe9");
  EXPECT_EQ(ini->ReadString("S", "equals", "D"), "a=b=c");
  EXPECT_EQ(ini->ReadString("S", "long", "D", 4096), longValue);
}

TEST_P(IniFileWriteTest, AValueIsStoredUpToItsFirstLineBreak) {
  // A picture address from a server must not add sections or keys of its own.
  auto ini = Put("[Main]\r\nCurrentWallpaper=old\r\n");
  ASSERT_TRUE(ini->WriteString("Main", "CurrentWallpaper", "http://x/a.jpg\r\n[OnLine]\r\nUseProxy=0"));
  ASSERT_TRUE(ini->WriteString("Main", "Other", "line\nbreak"));
  EXPECT_EQ(ini->ReadString("Main", "CurrentWallpaper", ""), "http://x/a.jpg");
  EXPECT_EQ(ini->ReadString("Main", "Other", ""), "line");
  EXPECT_EQ(ini->ReadString("OnLine", "UseProxy", "D"), "D");
  EXPECT_EQ(FileBytes(), "[Main]\r\nCurrentWallpaper=http://x/a.jpg\r\nOther=line\r\n");
}

TEST_P(IniFileWriteTest, ARefusedWriteReportsFalseAndKeepsTheOldFile) {
  const std::string before = "[Main]\r\nLanguage=Russian\r\n";
  auto ini = Put(before);
  ASSERT_TRUE(SetReadOnlyFile(path_, true));
  EXPECT_FALSE(ini->WriteString("Main", "Language", "English"));
  EXPECT_FALSE(ini->WriteString("Other", "Key", "1"));
  EXPECT_EQ(FileBytes(), before);
  EXPECT_FALSE(dir_.Exists("test.ini.tmp"));
  ASSERT_TRUE(SetReadOnlyFile(path_, false));
  EXPECT_TRUE(ini->WriteString("Main", "Language", "English"));

  auto nowhere = GetParam().open(dir_.File("missing\\dova.ini"));
  EXPECT_FALSE(nowhere->WriteString("Main", "Language", "English"));
  EXPECT_FALSE(dir_.Exists("missing"));
}

TEST_P(IniFileWriteTest, TheSaveSequenceOfAWholeSettingsFileReadsBack) {
  auto ini = Put("[Site1]\r\nName=Channel\r\nURL=http://example/\r\n");
  const char* sections[] = {"Main", "OnLine", "OffLine", "Offline"};
  for (int round = 0; round < 2; ++round) {
    for (int s = 0; s < 4; ++s)
      for (int k = 0; k < 12; ++k)
        ASSERT_TRUE(ini->WriteString(sections[s], "Key" + std::to_string(k),
                                     std::to_string(round * 100 + s * 12 + k)));
  }
  EXPECT_EQ(ini->ReadString("Site1", "URL", ""), "http://example/");
  EXPECT_EQ(ini->ReadKeyNames("OffLine", 16384).size(), 12u);  // [Offline] is the same section
  EXPECT_EQ(ini->ReadString("offline", "Key11", ""), "147");
  EXPECT_EQ(ini->ReadString("Main", "Key0", ""), "100");
}

INSTANTIATE_TEST_SUITE_P(Ini, IniFileWriteTest, DOVA_INI_IMPLEMENTATIONS, IniTestName);

}  // namespace
}  // namespace dova::testing
