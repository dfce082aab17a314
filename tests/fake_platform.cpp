#include "tests/fake_platform.h"

#include <cstdlib>
#include <string>

#include "platform/error.h"

#ifdef _WIN32
#include <direct.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace dova::testing {

void FakeDesktop::SetWallpaper(const std::string& path, bool doNotResize) {
  if (failWrites) throw Error("Unable to write the desktop settings");
  wallpaper = path;
  stretch = doNotResize ? "1" : "0";
  ++calls;
}

std::string CorePath(const std::string& posixPath) {
#ifdef _WIN32
  // Under Wine the Linux file system is drive Z:.
  std::string path = posixPath.size() > 1 && posixPath[0] == '/' ? "Z:" + posixPath : posixPath;
#else
  std::string path = posixPath;
#endif
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

namespace {

std::string SystemTempDir() {
#ifdef _WIN32
  const char* tmp = std::getenv("TEMP");
  std::string base = tmp ? tmp : "C:\\Windows\\Temp";
  if (base.back() != '\\') base += '\\';
  return base;
#else
  const char* tmp = std::getenv("TMPDIR");
  std::string base = CorePath(tmp ? tmp : "/tmp");
  if (base.back() != '\\') base += '\\';
  return base;
#endif
}

void RemoveTree(const std::string& dir) {
  for (const DirEntry& e : ListDirectory(dir + "*")) {
    if (e.name == "." || e.name == "..") continue;
    if (e.directory)
      RemoveTree(dir + e.name + "\\");
    else
      RemoveFile(dir + e.name);
  }
#ifdef _WIN32
  _rmdir(dir.c_str());
#else
  std::string posix = dir;
  for (char& c : posix)
    if (c == '\\') c = '/';
  rmdir(posix.c_str());
#endif
}

}  // namespace

TempDir::TempDir() {
  static int counter = 0;
  for (;;) {
    path_ = SystemTempDir() + "dova_test_" + std::to_string(getpid()) + "_" +
            std::to_string(++counter) + "\\";
    if (!DirectoryExists(path_) && CreateDirectoryPath(path_)) break;
  }
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string TempDir::WriteFile(const std::string& name, const std::string& contents) const {
  const std::string path = path_ + name;
  std::FILE* f = OpenFile(path, "wb");
  if (!f) throw Error("cannot write " + path);
  std::fwrite(contents.data(), 1, contents.size(), f);
  std::fclose(f);
  return path;
}

std::string TempDir::ReadFile(const std::string& name) const {
  std::string contents;
  ReadWholeFile(path_ + name, contents);
  return contents;
}

TestApp::TestApp() {
  context = std::make_unique<AppContext>(
      Platform{clock, screen, pump, errors, text, dialogs, help, desktop, window});
  AppContext& c = *context;
  c.ProgramDir = dir.Path();
  c.DataDir = c.ProgramDir + "Sites\\";
  c.LanguagesDir = c.ProgramDir + "Languages\\";
  c.DefaultHelpFile = c.HelpFile = c.ProgramDir + "Dova.chm";
  CreateDirectoryPath(c.DataDir);
  CreateDirectoryPath(c.LanguagesDir);
  std::string english;
  if (ReadWholeFile(CorePath(DOVA_SOURCE_DIR "/Languages/English.ini"), english))
    dir.WriteFile("Languages\\English.ini", english);
  c.ScreenAspect = 1024.0 / 768.0;
  c.phrases.LoadPhrases(c.LanguagesDir + "English.ini");
}

}  // namespace dova::testing
