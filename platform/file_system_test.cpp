// The file layer on the system at hand, driven with the core's Windows paths.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/wildcard.h"
#include "tests/support/temp_dir.h"

namespace dova::testing {
namespace {

std::vector<std::string> SortedNames(const std::vector<DirEntry>& entries) {
  std::vector<std::string> names;
  for (const DirEntry& entry : entries) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

const DirEntry* Find(const std::vector<DirEntry>& entries, const std::string& name) {
  for (const DirEntry& entry : entries)
    if (entry.name == name) return &entry;
  return nullptr;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(FileSystem, ExistenceOfFilesAndDirectories) {
  TempDir dir;
  dir.WriteFile("a.txt", "x");
  CreateDirectoryPath(dir.File("sub"));
  EXPECT_TRUE(FileExists(dir.File("a.txt")));
  EXPECT_FALSE(FileExists(dir.File("sub")));
  EXPECT_FALSE(FileExists(dir.File("missing.txt")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DirectoryExists(dir.File("sub")));
  EXPECT_TRUE(DirectoryExists(dir.File("sub\\")));
  EXPECT_TRUE(DirectoryExists(dir.Path()));
  EXPECT_FALSE(DirectoryExists(dir.File("a.txt")));
  EXPECT_FALSE(DirectoryExists(dir.File("missing")));
  EXPECT_FALSE(DirectoryExists(""));
}

TEST(FileSystem, OpenFileReadsAndWritesThroughBackslashPaths) {
  TempDir dir;
  CreateDirectoryPath(dir.File("sub"));
  std::FILE* file = OpenFile(dir.File("sub\\text.txt"), "w");
  ASSERT_NE(file, nullptr);
  std::fputs("line\n", file);
  std::fclose(file);
#ifdef _WIN32
  EXPECT_EQ(dir.ReadFile("sub/text.txt"), "line\r\n");  // text mode
#else
  EXPECT_EQ(dir.ReadFile("sub/text.txt"), "line\n");
#endif
  file = OpenFile(dir.File("sub\\text.txt"), "ab");
  ASSERT_NE(file, nullptr);
  std::fputs("more\n", file);
  std::fclose(file);
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(dir.File("sub\\text.txt"), contents));
  EXPECT_EQ(contents.substr(contents.size() - 5), "more\n");
  EXPECT_EQ(OpenFile(dir.File("missing\\x.txt"), "wb"), nullptr);
  EXPECT_EQ(OpenFile(dir.File("nothing.txt"), "rb"), nullptr);
  EXPECT_EQ(OpenFile("", "rb"), nullptr);
}

TEST(FileSystem, ReadWholeFileAndFileSize) {
  TempDir dir;
  const std::string binary("\x00\x01\r\n\x1a\xff tail", 11);
  dir.WriteFile("data.bin", binary);
  dir.WriteFile("empty.bin", "");
  std::string contents = "untouched";
  ASSERT_TRUE(ReadWholeFile(dir.File("data.bin"), contents));
  EXPECT_EQ(contents, binary);
  contents = "untouched";
  EXPECT_FALSE(ReadWholeFile(dir.File("missing.bin"), contents));
  EXPECT_EQ(contents, "untouched");
  const std::string big(3 * 65536 + 17, 'b');
  dir.WriteFile("big.bin", big);
  ASSERT_TRUE(ReadWholeFile(dir.File("big.bin"), contents));
  EXPECT_EQ(contents, big);

  EXPECT_EQ(FileSize(dir.File("data.bin")), 11);
  EXPECT_EQ(FileSize(dir.File("empty.bin")), 0);
  EXPECT_EQ(FileSize(dir.File("big.bin")), static_cast<long long>(big.size()));
  EXPECT_EQ(FileSize(dir.File("missing.bin")), -1);
  EXPECT_EQ(FileSize(dir.Path()), -1);
}

TEST(FileSystem, RemoveRenameAndReplace) {
  TempDir dir;
  dir.WriteFile("a", "A");
  dir.WriteFile("b", "B");
  CreateDirectoryPath(dir.File("sub"));

  EXPECT_FALSE(RenameFile(dir.File("a"), dir.File("b")));  // never over an existing file
  EXPECT_EQ(dir.ReadFile("a"), "A");
  EXPECT_EQ(dir.ReadFile("b"), "B");
  EXPECT_TRUE(RenameFile(dir.File("a"), dir.File("sub\\c")));
  EXPECT_FALSE(dir.Exists("a"));
  EXPECT_EQ(dir.ReadFile("sub/c"), "A");
  EXPECT_FALSE(RenameFile(dir.File("missing"), dir.File("d")));

  EXPECT_TRUE(ReplaceFile(dir.File("sub\\c"), dir.File("b")));  // over an existing file
  EXPECT_EQ(dir.ReadFile("b"), "A");
  EXPECT_FALSE(dir.Exists("sub/c"));
  EXPECT_TRUE(ReplaceFile(dir.File("b"), dir.File("new")));  // or to a new name
  EXPECT_EQ(dir.ReadFile("new"), "A");
  EXPECT_FALSE(ReplaceFile(dir.File("missing"), dir.File("new")));
  EXPECT_EQ(dir.ReadFile("new"), "A");

  EXPECT_TRUE(RemoveFile(dir.File("new")));
  EXPECT_FALSE(dir.Exists("new"));
  EXPECT_FALSE(RemoveFile(dir.File("new")));
  EXPECT_FALSE(RemoveFile(dir.File("sub")));
  EXPECT_TRUE(DirectoryExists(dir.File("sub")));
}

TEST(FileSystem, CreateDirectoryPathMakesOneLevel) {
  TempDir dir;
  EXPECT_TRUE(CreateDirectoryPath(dir.File("Sites")));
  EXPECT_TRUE(CreateDirectoryPath(dir.File("Sites")));  // already there
  EXPECT_TRUE(CreateDirectoryPath(dir.File("Sites\\Logos\\")));
  EXPECT_FALSE(CreateDirectoryPath(dir.File("a\\b\\c")));
  dir.WriteFile("file", "");
  EXPECT_FALSE(CreateDirectoryPath(dir.File("file")));
  EXPECT_FALSE(CreateDirectoryPath(""));
}

TEST(FileSystem, ReadOnlyMark) {
  TempDir dir;
  dir.WriteFile("f", "x");
  EXPECT_FALSE(IsReadOnlyFile(dir.File("f")));
  ASSERT_TRUE(SetReadOnlyFile(dir.File("f"), true));
  EXPECT_TRUE(IsReadOnlyFile(dir.File("f")));
  ASSERT_TRUE(SetReadOnlyFile(dir.File("f"), false));
  EXPECT_FALSE(IsReadOnlyFile(dir.File("f")));
  EXPECT_FALSE(IsReadOnlyFile(dir.File("missing")));
  EXPECT_FALSE(SetReadOnlyFile(dir.File("missing"), true));
}

TEST(FileSystem, ListDirectoryMatchesWildcardsWithoutRegardToCase) {
  TempDir dir;
  for (const char* name : {"English.ini", "RUSSIAN.INI", "notes.txt", "ini", "a.ini.bak", "x.in"})
    dir.WriteFile(name, "");
  CreateDirectoryPath(dir.File("Folder.ini"));

  const std::vector<DirEntry> ini = ListDirectory(dir.File("*.ini"));
  EXPECT_EQ(SortedNames(ini),
            (std::vector<std::string>{"English.ini", "Folder.ini", "RUSSIAN.INI"}));
  ASSERT_NE(Find(ini, "Folder.ini"), nullptr);
  EXPECT_TRUE(Find(ini, "Folder.ini")->directory);
  EXPECT_FALSE(Find(ini, "English.ini")->directory);
  EXPECT_FALSE(Find(ini, "English.ini")->hidden);
  EXPECT_FALSE(Find(ini, "English.ini")->system);

  // "*.*" is every entry, with a dot in its name or not; "." and ".." are not listed.
  EXPECT_EQ(ListDirectory(dir.File("*.*")).size(), 7u);
  EXPECT_EQ(ListDirectory(dir.File("*")).size(), 7u);
  EXPECT_EQ(SortedNames(ListDirectory(dir.File("?.in"))), (std::vector<std::string>{"x.in"}));
  EXPECT_EQ(SortedNames(ListDirectory(dir.File("english.INI"))),
            (std::vector<std::string>{"English.ini"}));
  EXPECT_TRUE(ListDirectory(dir.File("*.jpg")).empty());
  EXPECT_TRUE(ListDirectory(dir.File("missing\\*.*")).empty());
}

#ifndef _WIN32
TEST(FileSystem, DotNamesAreHiddenOutsideWindows) {
  TempDir dir;
  dir.WriteFile(".hidden.jpg", "");
  const std::vector<DirEntry> entries = ListDirectory(dir.File("*.jpg"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].hidden);
}
#endif

TEST(FileSystem, WildcardRules) {
  EXPECT_TRUE(MatchesWildcard("*.jpg", "Photo.JPG"));
  EXPECT_TRUE(MatchesWildcard("*.jpg", ".jpg"));
  EXPECT_FALSE(MatchesWildcard("*.jpg", "photo.jpeg"));
  EXPECT_FALSE(MatchesWildcard("*.jpg", "photo.jpg.txt"));
  EXPECT_TRUE(MatchesWildcard("*.*", "README"));
  EXPECT_TRUE(MatchesWildcard("*", ""));
  EXPECT_TRUE(MatchesWildcard("a*b*c", "aXXbYYbZc"));
  EXPECT_FALSE(MatchesWildcard("a*b*c", "aXXbYYbZ"));
  EXPECT_TRUE(MatchesWildcard("??.ini", "ru.ini"));
  EXPECT_FALSE(MatchesWildcard("??.ini", "rus.ini"));
  EXPECT_TRUE(MatchesWildcard("\xc9*", "\xc9t\xe9"));
  EXPECT_FALSE(MatchesWildcard("\xe9*", "\xc9t\xe9"));  // no case folding above ASCII
  EXPECT_TRUE(MatchesWildcard("**a**", "a"));
  EXPECT_FALSE(MatchesWildcard("", "a"));
}

TEST(FileSystem, CurrentDirectoryFollowsSetCurrentDir) {
  TempDir dir;
  const std::string before = GetCurrentDir();
  ASSERT_FALSE(before.empty());
  EXPECT_NE(before.back(), '\\');
  CreateDirectoryPath(dir.File("Pictures"));
  ASSERT_TRUE(SetCurrentDir(dir.File("Pictures")));
  const std::string now = GetCurrentDir();
  std::string expected = dir.File("Pictures");
#ifdef _WIN32
  // The system may give back another spelling of the temporary directory (8.3, case).
  EXPECT_EQ(Lower(now.substr(now.size() - 9)), "\\pictures");
#else
  EXPECT_EQ(now, expected);
#endif
  dir.WriteFile("Pictures/here.txt", "relative");
  std::string contents;
  EXPECT_TRUE(ReadWholeFile("here.txt", contents));
  EXPECT_EQ(contents, "relative");
  EXPECT_FALSE(SetCurrentDir(""));
  EXPECT_FALSE(SetCurrentDir(dir.File("missing")));
  EXPECT_EQ(GetCurrentDir(), now);
  ASSERT_TRUE(SetCurrentDir(before));
  EXPECT_EQ(GetCurrentDir(), before);
}

// Names outside any one code page, in every call of the file layer: a folder named in Cyrillic
// holding a picture named in Chinese letters and an emoji.
TEST(FileSystem, NamesOfEveryScriptWorkInEveryCall) {
  TempDir dir;
  const std::string folder = dir.File("Картинки");
  ASSERT_TRUE(CreateDirectoryPath(folder));
  EXPECT_TRUE(DirectoryExists(folder));
  const std::string picture = folder + "\\山水画😀.jpg";
  std::FILE* file = OpenFile(picture, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("data", file);
  std::fclose(file);
  EXPECT_EQ(dir.ReadFile("Картинки\\山水画😀.jpg"), "data");  // the name other programs see
  EXPECT_TRUE(FileExists(picture));
  EXPECT_EQ(FileSize(picture), 4);
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(picture, contents));
  EXPECT_EQ(contents, "data");
  EXPECT_EQ(SortedNames(ListDirectory(folder + "\\*.jpg")),
            (std::vector<std::string>{"山水画😀.jpg"}));
  EXPECT_EQ(SortedNames(ListDirectory(dir.File("*.*"))), (std::vector<std::string>{"Картинки"}));

  const std::string renamed = folder + "\\Море 🌊.jpg";
  ASSERT_TRUE(RenameFile(picture, renamed));
  EXPECT_FALSE(FileExists(picture));
  dir.WriteFile("Картинки\\山水画😀.jpg", "new");
  ASSERT_TRUE(ReplaceFile(picture, renamed));
  EXPECT_EQ(dir.ReadFile("Картинки\\Море 🌊.jpg"), "new");
  ASSERT_TRUE(SetReadOnlyFile(renamed, true));
  EXPECT_TRUE(IsReadOnlyFile(renamed));
  ASSERT_TRUE(SetReadOnlyFile(renamed, false));

  const std::string before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(folder));
  const std::string now = GetCurrentDir();
  EXPECT_EQ(now.substr(now.size() - std::string("\\Картинки").size()), "\\Картинки");
  EXPECT_TRUE(ReadWholeFile("Море 🌊.jpg", contents));
  ASSERT_TRUE(SetCurrentDir(before));
  EXPECT_TRUE(RemoveFile(renamed));
  EXPECT_FALSE(FileExists(renamed));
}

// The old limit of MAX_PATH (260) characters does not hold the program's paths.
TEST(FileSystem, PathsLongerThanMaxPathWorkInEveryCall) {
  TempDir dir;
  std::string folder = dir.Path();
  for (int level = 0; folder.size() < 400; ++level) {
    folder += std::string(48, 'd') + "Ω" + std::to_string(level);
    ASSERT_TRUE(CreateDirectoryPath(folder)) << folder.size();
    EXPECT_TRUE(DirectoryExists(folder));
    folder += "\\";
  }
  const std::string picture = folder + "山水画😀.jpg";
  ASSERT_GT(picture.size(), 300u);
  std::FILE* file = OpenFile(picture, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("long", file);
  std::fclose(file);
  EXPECT_TRUE(FileExists(picture));
  EXPECT_EQ(FileSize(picture), 4);
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(picture, contents));
  EXPECT_EQ(contents, "long");
  EXPECT_EQ(SortedNames(ListDirectory(folder + "*.jpg")), (std::vector<std::string>{"山水画😀.jpg"}));
  // "." and ".." inside a long path are resolved, as in a short one.
  const std::string last = folder.substr(folder.rfind('\\', folder.size() - 2) + 1);
  EXPECT_TRUE(FileExists(folder + ".\\..\\" + last + "山水画😀.jpg"));
  ASSERT_TRUE(RenameFile(picture, folder + "renamed.jpg"));
  file = OpenFile(folder + "other.jpg", "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("other", file);
  std::fclose(file);
  ASSERT_TRUE(ReplaceFile(folder + "other.jpg", folder + "renamed.jpg"));
  ASSERT_TRUE(ReadWholeFile(folder + "renamed.jpg", contents));
  EXPECT_EQ(contents, "other");
  ASSERT_TRUE(SetReadOnlyFile(folder + "renamed.jpg", true));
  EXPECT_TRUE(IsReadOnlyFile(folder + "renamed.jpg"));
  ASSERT_TRUE(SetReadOnlyFile(folder + "renamed.jpg", false));
  EXPECT_TRUE(RemoveFile(folder + "renamed.jpg"));
  EXPECT_FALSE(FileExists(folder + "renamed.jpg"));
}

TEST(FileSystem, ExecutablePathNamesTheRunningProgram) {
  const std::string path = ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(FileExists(path));
  const std::size_t slash = path.rfind('\\');
  ASSERT_NE(slash, std::string::npos);  // a Windows path on every system
  EXPECT_NE(Lower(path.substr(slash + 1)).find("platform_tests"), std::string::npos);
  EXPECT_TRUE(DirectoryExists(path.substr(0, slash + 1)));
}

}  // namespace
}  // namespace dova::testing
