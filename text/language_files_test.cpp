// Checks the language files delivered in Languages/: every phrase key the program looks up is
// present with a text, nothing else is there, the bytes are in the code page the program reads
// them in (ASCII for English, Windows-1251 for Russian), lines end in CR LF, and the phrases
// that the program joins to other text without a blank carry their own blanks.
//
// The files are read with a small reader of their own that follows the private-profile rules
// (blanks around keys and values dropped, one pair of enclosing quotes removed), so that these
// tests judge the files and not the program's ini reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace dova {
namespace {

// Every key the program asks the language pack for.
const std::vector<std::string> kPhraseKeys = {
    // captions and hints of the window
    "pictureoftheday", "fromlist", "options", "connectionoptions", "onstartup", "evrydayattime",
    "startinsystemtray", "startwithwindows", "proxy_use", "proxy_auth", "limitspeed", "addfiles",
    "adddirectory", "deleteimages", "striplist", "moveimagesup", "moveimagesdown", "clearlist",
    "installimage", "previouspicture", "imagesize_fill", "imagesize_fit", "imagesize_fitcolor",
    "wallpaperchanging", "proxy", "imagesize", "chanels", "sequnce", "workingmode", "commonoptions",
    "imagesize_windows", "imagesize_dova", "imagesize_disable", "seq_queue", "seq_random", "attime",
    "aftertime", "proxy_server", "proxy_port", "proxy_login", "proxy_password", "maxfilesize",
    "kbytessec", "kbytes", "imagesize_filter", "language", "installfromlist", "installfromnet",
    "open", "quit", "fileselecting", "helpfile", "monitors", "monitors_same", "monitors_each",
    "monitors_span",
    // start-up and shut-down log lines, scheduler
    "start", "resolution", "widthandheight", "finish", "frominternet",
    // installing a picture
    "notfound1", "notfound2", "convertingimage", "updatingdesktop", "desktoperror",
    // download and daily update
    "downloadedbytes", "connectingto", "connecterror", "unknowhttpcode", "errorimagesize1",
    "errorimagesize2", "errorimagesize3", "errorimagesize", "downloadingimage", "createerror",
    "dontneedupdate", "errorgetingfile", "updatedesktop", "waserror",
    // channel rules, captions, retries and missed changes
    "nopicturetoday", "picturecaption", "channelrule", "retrylater", "networkback", "missedchange",
    // the failures of secure connections, proxies and redirects
    "certnottrusted", "certexpired", "certwrongname", "certrevoked", "certnotforservers",
    "tlsfailed", "proxyloginfailed", "toomanyredirects", "redirecttohttp",
    // picture list
    "nolist", "adding", "opendirectory"};

struct LanguageFile {
  std::string bytes;                           // the whole file as stored
  std::map<std::string, std::string> phrases;  // [Phrases], read as the program reads it
  std::vector<std::string> keysInOrder;        // [Phrases] key names in file order
};

std::string Trim(const std::string& s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

LanguageFile ReadLanguageFile(const std::string& name) {
  const std::string path = std::string(DOVA_SOURCE_DIR) + "/Languages/" + name;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot open " << path;
  LanguageFile file;
  file.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());

  bool inPhrases = false;
  std::size_t pos = 0;
  while (pos < file.bytes.size()) {
    std::size_t end = file.bytes.find('\n', pos);
    if (end == std::string::npos) end = file.bytes.size();
    std::string line = file.bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = Trim(line);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const std::size_t close = line.find(']');
      inPhrases =
          close != std::string::npos && SameIgnoringCase(line.substr(1, close - 1), "Phrases");
      continue;
    }
    const std::size_t eq = line.find('=');
    if (!inPhrases || eq == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    EXPECT_EQ(file.phrases.count(key), 0u) << name << ": key " << key << " appears twice";
    file.phrases[key] = value;
    file.keysInOrder.push_back(key);
  }
  return file;
}

char First(const std::string& s) { return s.empty() ? '\0' : s.front(); }
char Last(const std::string& s) { return s.empty() ? '\0' : s.back(); }

class LanguageFileTest : public ::testing::TestWithParam<const char*> {};

TEST_P(LanguageFileTest, HoldsEveryPhraseKeyAndNothingElse) {
  const LanguageFile file = ReadLanguageFile(GetParam());
  EXPECT_EQ(kPhraseKeys.size(), 98u);
  for (const std::string& key : kPhraseKeys) {
    const auto it = file.phrases.find(key);
    ASSERT_TRUE(it != file.phrases.end()) << GetParam() << " lacks " << key;
    EXPECT_FALSE(it->second.empty()) << GetParam() << ": " << key << " has no text";
    EXPECT_LT(it->second.size(), 2048u) << GetParam() << ": " << key << " would be cut";
  }
  const std::set<std::string> known(kPhraseKeys.begin(), kPhraseKeys.end());
  for (const std::string& key : file.keysInOrder) {
    EXPECT_EQ(known.count(key), 1u)
        << GetParam() << " holds " << key << ", which the program never looks up";
  }
}

TEST_P(LanguageFileTest, IsAWindowsTextFileWithCrLfLineEnds) {
  const LanguageFile file = ReadLanguageFile(GetParam());
  ASSERT_GE(file.bytes.size(), 2u);
  EXPECT_EQ(file.bytes.substr(file.bytes.size() - 2), "\r\n");
  for (std::size_t i = 0; i < file.bytes.size(); ++i) {
    if (file.bytes[i] == '\n') {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(file.bytes[i - 1], '\r') << GetParam() << ": bare LF at byte " << i;
    }
    EXPECT_NE(file.bytes[i], '\0') << GetParam() << ": zero byte at " << i;
  }
  // The program reads a byte order mark; earlier versions would take it for part of the first
  // line's name.
  EXPECT_NE(file.bytes.compare(0, 3, "\xEF\xBB\xBF"), 0) << "a byte order mark";
}

TEST_P(LanguageFileTest, UsesTheDefaultHelpFile) {
  EXPECT_EQ(ReadLanguageFile(GetParam()).phrases["helpfile"], "default");
}

// How the program puts the phrases together decides where they need blanks and colons.
TEST_P(LanguageFileTest, PhrasesFitTheTextTheyAreJoinedWith) {
  LanguageFile file = ReadLanguageFile(GetParam());
  auto& p = file.phrases;
  // Joined directly to a value: the blank must be part of the (quoted) phrase.
  EXPECT_EQ(Last(p["downloadingimage"]), ' ');
  EXPECT_EQ(Last(p["errorimagesize1"]), ' ');
  EXPECT_EQ(Last(p["errorimagesize2"]), ' ');
  EXPECT_EQ(First(p["errorimagesize3"]), ' ');
  // Labels that carry their own colon, and the one that gets it added.
  for (const char* key : {"proxy_server", "proxy_port", "proxy_login", "proxy_password",
                          "maxfilesize", "imagesize_filter"}) {
    EXPECT_EQ(Last(p[key]), ':') << key;
  }
  EXPECT_NE(Last(p["language"]), ':');
  // Group titles and the pieces joined with " " get their blanks from the program.
  for (const char* key :
       {"wallpaperchanging", "proxy", "imagesize", "chanels", "sequnce", "workingmode",
        "commonoptions", "notfound1", "notfound2", "connectingto", "createerror", "nolist",
        "adding", "resolution", "widthandheight", "downloadedbytes", "convertingimage"}) {
    EXPECT_NE(First(p[key]), ' ') << key;
    EXPECT_NE(Last(p[key]), ' ') << key;
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageFileTest,
                         ::testing::Values("English.ini", "Russian.ini"));

TEST(EnglishLanguageFile, IsPlainAscii) {
  const LanguageFile file = ReadLanguageFile("English.ini");
  for (std::size_t i = 0; i < file.bytes.size(); ++i) {
    EXPECT_LT(static_cast<unsigned char>(file.bytes[i]), 0x80u) << "byte " << i;
  }
}

TEST(RussianLanguageFile, IsWindows1251NotUtf8) {
  const LanguageFile file = ReadLanguageFile("Russian.ini");
  std::size_t cyrillic = 0;
  for (std::size_t i = 0; i < file.bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(file.bytes[i]);
    if (c >= 0xC0) ++cyrillic;
    // 0x98 is the one byte Windows-1251 leaves undefined.
    EXPECT_NE(c, 0x98u) << "byte " << i;
    // A UTF-8 lead byte followed by a continuation byte would be a converted file.
    if (c >= 0xC2 && c <= 0xF4 && i + 1 < file.bytes.size()) {
      const auto next = static_cast<unsigned char>(file.bytes[i + 1]);
      EXPECT_FALSE(next >= 0x80 && next <= 0xBF) << "UTF-8 sequence at byte " << i;
    }
  }
  EXPECT_GT(cyrillic, 500u);
}

TEST(RussianLanguageFile, KeepsTheDesignTextsOfTheWindow) {
  LanguageFile file = ReadLanguageFile("Russian.ini");
  // Windows-1251 bytes of the design captions.
  EXPECT_EQ(file.phrases["pictureoftheday"], "\xCA\xE0\xF0\xF2\xE8\xED\xEA\xE0 \xE4\xED\xFF");
  EXPECT_EQ(file.phrases["chanels"], "\xCA\xE0\xED\xE0\xEB\xFB");
  EXPECT_EQ(file.phrases["fromlist"], "\xC8\xE7 \xF1\xEF\xE8\xF1\xEA\xE0");
  EXPECT_EQ(file.phrases["open"], "\xCE\xF2\xEA\xF0\xFB\xF2\xFC");
  EXPECT_EQ(file.phrases["quit"], "\xC2\xFB\xF5\xEE\xE4");
  EXPECT_EQ(file.phrases["proxy_port"], "\xCF\xEE\xF0\xF2:");
}

TEST(LanguageFiles, TranslateEveryCaption) {
  LanguageFile english = ReadLanguageFile("English.ini");
  LanguageFile russian = ReadLanguageFile("Russian.ini");
  for (const std::string& key : kPhraseKeys) {
    if (key == "helpfile") continue;
    EXPECT_NE(english.phrases[key], russian.phrases[key]) << key << " is not translated";
  }
}

}  // namespace
}  // namespace dova
