// Reading INI files: names, values, defaults, limits, and files of every shape.
#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/ini_file_test_support.h"

namespace dova::testing {
namespace {

using Names = std::vector<std::string>;

TEST_P(IniFileTest, NamesMatchWithoutRegardToCaseOrSurroundingBlanks) {
  auto ini = Put(
      "[Main]\r\n  Key1  =  value one  \r\n[ Spaced ]\r\nk\t=\tv\t\r\n[X] trailing text\r\n"
      "k=x\r\n[Y]]\r\nk=y\r\n");
  EXPECT_EQ(ini->ReadString("MAIN", "KEY1", "D"), "value one");
  EXPECT_EQ(ini->ReadString(" main ", " key1 ", "D"), "value one");
  EXPECT_EQ(ini->ReadString("spaced", "K", "D"), "v");
  EXPECT_EQ(ini->ReadString("X", "k", "D"), "x");   // text after "]" is ignored
  EXPECT_EQ(ini->ReadString("Y]", "k", "D"), "y");  // the name ends at the last "]"
  EXPECT_EQ(ini->ReadString("Y", "k", "D"), "D");
}

TEST_P(IniFileTest, BytesFrom0x80UpAreComparedAsTheyAre) {
  auto ini = Put("[M]\r\nk=\xe9t\xc9\r\n[\xc9t\xe9]\r\nv=1\r\n[\xc0]\r\n\xe0=2\r\n");
  EXPECT_EQ(ini->ReadString("M", "k", "D"), "\xe9t\xc9");
  EXPECT_EQ(ini->ReadString("\xc9t\xe9", "v", "D"), "1");
  EXPECT_EQ(ini->ReadString("\xc0", "\xe0", "D"), "2");
  EXPECT_EQ(ini->ReadString("\xe9T\xc9", "v", "D"), "D");
  EXPECT_EQ(ini->ReadString("\xc0", "\xc0", "D"), "D");
}

TEST_P(IniFileTest, OnePairOfMatchingQuotesIsDropped) {
  auto ini = Put(
      "[Q]\r\ndouble=\"quoted\"\r\nsingle='single'\r\nmixed=\"mixed'\r\nlone=\"\r\nempty=\"\"\r\n"
      "inner=\"a\"b\"\r\npadded=  \" kept blanks \"  \r\ntwice=\"\"x\"\"\r\nplain=no quotes\r\n");
  EXPECT_EQ(ini->ReadString("Q", "double", "D"), "quoted");
  EXPECT_EQ(ini->ReadString("Q", "single", "D"), "single");
  EXPECT_EQ(ini->ReadString("Q", "mixed", "D"), "\"mixed'");
  EXPECT_EQ(ini->ReadString("Q", "lone", "D"), "\"");
  EXPECT_EQ(ini->ReadString("Q", "empty", "D"), "");
  EXPECT_EQ(ini->ReadString("Q", "inner", "D"), "a\"b");
  EXPECT_EQ(ini->ReadString("Q", "padded", "D"), " kept blanks ");
  EXPECT_EQ(ini->ReadString("Q", "twice", "D"), "\"x\"");
  EXPECT_EQ(ini->ReadString("Q", "plain", "D"), "no quotes");
}

TEST_P(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Open()->ReadString("Main", "Language", "English"), "English");
  EXPECT_TRUE(Open()->ReadKeyNames("Main", 16384).empty());

  auto ini = Put("[Main]\r\nempty=\r\nblank=   \r\nnoequals\r\n[Other]\r\nkey=1\r\n");
  EXPECT_EQ(ini->ReadString("None", "key", "D"), "D");
  EXPECT_EQ(ini->ReadString("Main", "key", "D"), "D");       // only in another section
  EXPECT_EQ(ini->ReadString("Main", "noequals", "D"), "D");  // a line without "=" is no key
  EXPECT_EQ(ini->ReadString("Main", "empty", "D"), "");      // present, empty: not the default
  EXPECT_EQ(ini->ReadString("Main", "blank", "D"), "");
  // The system drops trailing blanks of the default, and keeps leading ones.
  EXPECT_EQ(ini->ReadString("Main", "none", "  D  "), "  D");
  EXPECT_EQ(ini->ReadString("Main", "none", ""), "");
}

TEST_P(IniFileTest, ReadsAreCutToTheBufferSizeLessOne) {
  const std::string phrase(3000, 'p');
  auto ini = Put("[Phrases]\r\nlong=" + phrase + "\r\nshort=value\r\nq=\"abcd\"\r\n");
  EXPECT_EQ(ini->ReadString("Phrases", "long", ""), phrase.substr(0, 2047));
  EXPECT_EQ(ini->ReadString("Phrases", "long", "", 100), phrase.substr(0, 99));
  EXPECT_EQ(ini->ReadString("Phrases", "short", "", 5), "valu");
  EXPECT_EQ(ini->ReadString("Phrases", "short", "", 6), "value");
  EXPECT_EQ(ini->ReadString("Phrases", "short", "", 1), "");
  EXPECT_EQ(ini->ReadString("Phrases", "none", "defaultvalue", 3), "de");
  EXPECT_EQ(ini->ReadString("Phrases", "none", std::string(3000, 'd')), std::string(2047, 'd'));
  EXPECT_EQ(ini->ReadString("Phrases", "q", "", 3), "ab");
  EXPECT_EQ(ini->ReadString("Phrases", "q", "", 6), "abcd");
}

TEST(PortableIniFile, QuotedValueFillingTheBufferExactlyKeepsItsLastCharacter) {
  // Wine's reader loses the last character here ("abc"): it drops the closing quote's
  // position after cutting. The portable reader drops the quotes first, then cuts.
  TempDir dir;
  dir.WriteFile("q.ini", "[Q]\r\nq=\"abcd\"\r\n");
  EXPECT_EQ(OpenPortableIniFile(dir.File("q.ini"))->ReadString("Q", "q", "", 5), "abcd");
}

TEST_P(IniFileTest, OnlyTheFirstSectionAndKeyOfANameCount) {
  auto ini = Put("[Main]\r\nk=first\r\nk=second\r\n[main]\r\nk=third\r\nonlyhere=1\r\n");
  EXPECT_EQ(ini->ReadString("Main", "k", "D"), "first");
  EXPECT_EQ(ini->ReadString("MAIN", "onlyhere", "D"), "D");
  EXPECT_EQ(ini->ReadKeyNames("Main", 16384), (Names{"k", "k"}));
}

TEST_P(IniFileTest, LinesEndInCrLfLfOrCrAndTheLastNeedsNoLineEnd) {
  EXPECT_EQ(Put("[A]\nk=lf\nj=2\n")->ReadString("A", "k", "D"), "lf");
  EXPECT_EQ(Put("[A]\rk=cr\rj=2\r")->ReadString("A", "j", "D"), "2");
  EXPECT_EQ(Put("[A]\r\nk=crlf\r\nj=2")->ReadString("A", "j", "D"), "2");
  EXPECT_EQ(Put("[A]\r\nk=v")->ReadString("A", "k", "D"), "v");
  EXPECT_EQ(Put("[A]\n\r\n\nk=mixed\r\n")->ReadString("A", "k", "D"), "mixed");
}

TEST_P(IniFileTest, SurvivesGarbageLongLinesAndAByteOrderMark) {
  std::string garbage = "[G]\r\na=1\r\n";
  for (int i = 0; i < 600; ++i) garbage += static_cast<char>((i * 37 + 11) & 0xff);
  garbage += "\r\n[H]\r\nk=v\r\n";
  EXPECT_EQ(Put(garbage)->ReadString("H", "k", "D"), "v");

  const std::string longLine(5000, 'x');
  auto ini = Put("[L]\r\nlong=" + longLine + "\r\n" + longLine + "\r\nafter=ok\r\n");
  EXPECT_EQ(ini->ReadString("L", "after", "D"), "ok");
  EXPECT_EQ(ini->ReadString("L", "long", "D"), longLine.substr(0, 2047));

  EXPECT_EQ(Put(std::string("[Z]\r\nk=v\0junk\r\nj=w\r\n", 20))->ReadString("Z", "k", "D"), "v");
  EXPECT_EQ(Put("[Z]\r\nk=a\x1a\r\n")->ReadString("Z", "k", "D"), "a");  // DOS end-of-file mark

  ini = Put("\xEF\xBB\xBF[Main]\r\nA=1\r\n");
  EXPECT_EQ(ini->ReadString("Main", "A", "D"), "1");
  EXPECT_EQ(ini->ReadKeyNames("Main", 100), (Names{"A"}));

  EXPECT_EQ(Put("")->ReadString("A", "k", "D"), "D");
}

TEST_P(IniFileTest, UnclosedHeadersCommentsAndKeysBeforeAnySection) {
  auto ini = Put(
      "top=first\r\n[A]\r\na=1\r\n[W\r\nw=2\r\n;comment=3\r\n; note\r\n;[Fake]\r\nf=4\r\n");
  EXPECT_EQ(ini->ReadString("", "top", "D"), "first");
  EXPECT_EQ(ini->ReadString("A", "w", "D"), "2");  // "[W" opens no section
  EXPECT_EQ(ini->ReadString("W", "w", "D"), "D");
  EXPECT_EQ(ini->ReadString("A", "f", "D"), "4");  // ";[Fake]" is a comment, not a header
  EXPECT_EQ(ini->ReadString("Fake", "f", "D"), "D");
  EXPECT_EQ(ini->ReadKeyNames("A", 16384), (Names{"a", "w", "f"}));
}

TEST_P(IniFileTest, KeyNamesComeInFileOrder) {
  auto ini = Put(
      "[Phrases]\r\nstart=Start\r\n  finish = Finish \r\nnoequals\r\n;comment=x\r\n"
      "empty=\r\n\"q\"=quoted name\r\nstart=again\r\nConnectingTo=x\r\n[Other]\r\nother=1\r\n");
  EXPECT_EQ(ini->ReadKeyNames("phrases", 16384),
            (Names{"start", "finish", "empty", "\"q\"", "start", "ConnectingTo"}));
  EXPECT_EQ(ini->ReadString("Phrases", "\"q\"", "D"), "quoted name");
  EXPECT_TRUE(ini->ReadKeyNames("Missing", 16384).empty());
  EXPECT_TRUE(Put("[Empty]\r\n[B]\r\nk=1\r\n")->ReadKeyNames("Empty", 16384).empty());
}

TEST_P(IniFileTest, KeyNameBlockHoldsOnlyWholeNames) {
  auto ini = Put("[Main]\r\nKey1=a\r\nkey2=b\r\nkey3=c\r\n");
  // Each name takes its length plus a zero byte, and the block ends in one more zero byte.
  EXPECT_EQ(ini->ReadKeyNames("Main", 16), (Names{"Key1", "key2", "key3"}));
  EXPECT_EQ(ini->ReadKeyNames("Main", 15), (Names{"Key1", "key2"}));
  EXPECT_EQ(ini->ReadKeyNames("Main", 13), (Names{"Key1", "key2"}));
  EXPECT_EQ(ini->ReadKeyNames("Main", 11), (Names{"Key1", "key2"}));
  EXPECT_EQ(ini->ReadKeyNames("Main", 10), (Names{"Key1"}));
  EXPECT_EQ(ini->ReadKeyNames("Main", 6), (Names{"Key1"}));
  EXPECT_TRUE(ini->ReadKeyNames("Main", 5).empty());
  EXPECT_TRUE(ini->ReadKeyNames("Main", 1).empty());
  EXPECT_TRUE(ini->ReadKeyNames("Main", 0).empty());
}

TEST_P(IniFileTest, LargeKeyNameBlocksStopAtTheirSize) {
  // 2000 names of 9 characters: 10 bytes each, so 1638 fit into 16384 bytes.
  std::string text = "[Phrases]\r\n";
  Names all;
  for (int i = 0; i < 2000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "key%06d", i);
    all.push_back(name);
    text += all.back() + "=text " + std::to_string(i) + "\r\n";
  }
  auto ini = Put(text);
  const Names names = ini->ReadKeyNames("Phrases", 16384);
  ASSERT_EQ(names.size(), 1638u);
  EXPECT_EQ(names, Names(all.begin(), all.begin() + 1638));
  EXPECT_EQ(ini->ReadKeyNames("Phrases", 1 << 20), all);
}

TEST_P(IniFileTest, EmptyKeyNamesAreNotListed) {
  EXPECT_EQ(Put("[V]\r\nk=v\r\n=nameless\r\nj=w\r\n")->ReadKeyNames("V", 100), (Names{"k", "j"}));
}

TEST(PortableIniFile, ANamelessFirstKeyHidesNoOtherKey) {
  // Wine stops listing at a nameless first key and lists nothing here.
  TempDir dir;
  dir.WriteFile("v.ini", "[V]\r\n=nameless\r\nk=v\r\n");
  EXPECT_EQ(OpenPortableIniFile(dir.File("v.ini"))->ReadKeyNames("V", 100), (Names{"k"}));
}

INSTANTIATE_TEST_SUITE_P(Ini, IniFileTest, DOVA_INI_IMPLEMENTATIONS, IniTestName);

}  // namespace
}  // namespace dova::testing
