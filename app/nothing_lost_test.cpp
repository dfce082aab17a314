// Faults injected into the files a run writes (dova.ini, dova.lst, the wallpaper bitmaps,
// dova.log): each writing call failing in turn, the disk filling up and the program killed
// after every number of bytes. Whatever happens, each file holds its old contents or its new
// ones, whole; the desktop points at a whole bitmap; a failure is reported once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/main_form.h"
#include "picturelist/picture_list.h"
#include "platform/file_system.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_app.h"
#include "tests/support/test_jpeg.h"
#include "wallpaper/bmp_file.h"

#ifdef DOVA_HAVE_FAULTY_FILE_SYSTEM

namespace dova {
namespace {

using testing::FaultyFileSystem;
using testing::FileFault;
using testing::TestApp;
using Files = std::map<std::string, std::string>;  // name in Sites\ -> contents

// Byte counts are tried one by one through the first kilobyte, a small file's whole length;
// beyond it (the dozens of rewrites of dova.ini's copy) in steps that land at ever other
// places of a file. DOVA_FAULT_STEP multiplies the steps for slow builds (the sanitizers').
long long ByteStep(long long n) {
  static const long long factor = [] {
    const char* text = std::getenv("DOVA_FAULT_STEP");
    return text && std::atoll(text) > 0 ? std::atoll(text) : 1LL;
  }();
  return n < 1024 ? factor : 257 * factor;
}

class NothingLostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      pictures_[i] = app_.dir.Path() + "picture" + std::to_string(i) + ".jpg";
      testing::WriteTestJpeg(pictures_[i], 8 + 4 * i, 6 + 2 * i, 40 * i, 200, 90);
    }
    const std::string data = app_.ctx().DataDir;
    app_.dir.WriteFile("Sites\\dova.ini",
                       "; the user's own note\r\n"
                       "[Main]\r\nSection=2\r\nResize=none\r\nLanguage=English\r\nFilter=3\r\n"
                       "WorkType=offline\r\nInTray=1\r\n"
                       "[OnLine]\r\nUseProxy=1\r\nProxyServer=proxy.lan\r\nProxyPort=3128\r\n"
                       "ProxyLogin=me\r\nProxyPassword=secret\r\nOnLoad=0\r\nHours=7\r\n"
                       "[OffLine]\r\nOnLoad=0\r\nSelecting=line\r\nChanging=time\r\nHours=8\r\n"
                       "Minutes=15\r\n"
                       "[Site1]\r\nURL=http://127.0.0.1/\r\nWPURL=http://127.0.0.1/a\r\n"
                       "IMAGE=a.bmp\r\nENABLED=1\r\n"
                       "[Site2]\r\nURL=http://127.0.0.1/\r\nWPURL=http://127.0.0.1/b\r\n"
                       "IMAGE=b.bmp\r\nENABLED=0\r\n"
                       "[Custom]\r\nNote=kept\r\n");
    app_.dir.WriteFile("Sites\\dova.lst",
                       "8x6\t" + pictures_[0] + "\r\n12x8\t" + pictures_[1] + "\r\n");
    // A first run installs the first picture, which stays the wallpaper in use, and leaves the
    // list cursor on the second.
    Run([&](TForm1& form) {
      Install(form, 0);
      form.Form().FileGrid.SelectRows(1, 1);
    });
    ASSERT_TRUE(app_.errors.shown.empty()) << app_.errors.shown.front();
    before_ = Snapshot();
    desktopBefore_ = app_.desktop.wallpaper;
    ASSERT_EQ(desktopBefore_, data + "wallpaper1.bmp");
  }

  Platform platform() {
    return Platform{app_.clock,   app_.screen, app_.pump,    app_.errors, app_.text,
                    app_.dialogs, app_.help,   app_.desktop, app_.window, app_.startup};
  }

  // One run of the program: start, `session`, exit.
  void Run(const std::function<void(TForm1&)>& session) {
    TForm1 form(platform(), app_.dir.Path() + "Dova.exe", "minimized");
    form.FormCreate();
    session(form);
  }

  static void Install(TForm1& form, int row) {
    form.Form().FileGrid.SelectRows(row, row);
    form.FileGridDblClick();
  }

  // What the user does in the run under test: new settings, another channel, one more
  // picture in the list.
  void EditSession(TForm1& form) {
    FormModel& f = form.Form();
    f.Edit1.text = "proxy2.lan";
    f.ComboBox1.Select(9);
    f.CheckBox7.checked = true;
    form.StringGrid1Click(1);
    f.FileGrid.rows.push_back(MakeListRow(pictures_[2], "16x10"));
  }

  Files Snapshot() const {
    Files files;
    const std::string data = app_.dir.Path() + "Sites\\";
    for (const DirEntry& entry : ListDirectory(data + "*")) {
      if (entry.name.rfind("dova.log", 0) == 0) continue;  // differs from run to run
      files[entry.name] = app_.dir.ReadFile("Sites\\" + entry.name);
    }
    return files;
  }

  void Restore(const Files& files) {
    for (const DirEntry& entry : ListDirectory(app_.ctx().DataDir + "*"))
      if (entry.name.rfind("dova.log", 0) != 0) RemoveFile(app_.ctx().DataDir + entry.name);
    for (const auto& [name, contents] : files) app_.dir.WriteFile("Sites\\" + name, contents);
    app_.desktop.wallpaper = desktopBefore_;
    app_.errors.shown.clear();
  }

  // Runs `session` with `fault`, then checks the data directory against the contents before
  // and after a run without faults. Returns the fault's path ("" when it did not strike).
  std::string RunWithFault(const FileFault& fault, const std::function<void(TForm1&)>& session,
                           const Files& after, const std::string& desktopAfter) {
    Restore(before_);
    std::string struck;
    {
      FaultyFileSystem files(fault);
      Run(session);
      struck = files.StruckPath();
    }
    const Files now = Snapshot();
    for (const char* name : {"dova.ini", "dova.lst", "wallpaper1.bmp", "wallpaper2.bmp"}) {
      SCOPED_TRACE(name);
      const auto found = now.find(name);
      const auto old = before_.find(name);
      const auto fresh = after.find(name);
      if (found == now.end()) {
        // Missing before the run, or removed by it.
        EXPECT_TRUE(old == before_.end() || fresh == after.end()) << "lost";
        continue;
      }
      const bool isOld = old != before_.end() && found->second == old->second;
      const bool isNew = fresh != after.end() && found->second == fresh->second;
      EXPECT_TRUE(isOld || isNew) << "neither the old nor the new contents";
    }
    // The desktop shows the old bitmap or the new one, whole.
    EXPECT_TRUE(app_.desktop.wallpaper == desktopBefore_ || app_.desktop.wallpaper == desktopAfter)
        << app_.desktop.wallpaper;
    const std::string shown = FileNameOf(app_.desktop.wallpaper);
    const Files& source = app_.desktop.wallpaper == desktopBefore_ ? before_ : after;
    EXPECT_TRUE(now.count(shown) && source.count(shown) && now.at(shown) == source.at(shown))
        << shown << " is not the whole bitmap";
    // Leftovers of a failed write are removed; only a killed run may leave them.
    if (fault.kind != FileFault::Kind::kKilled) {
      for (const auto& [name, contents] : now)
        EXPECT_TRUE(name.find(".new") == std::string::npos &&
                    name.find(".tmp") == std::string::npos)
            << name << " left behind";
    }
    return struck;
  }

  int JournalErrors() const {
    const std::string log = app_.dir.ReadFile("Sites\\dova.log");
    int count = 0;
    for (std::size_t at = log.find(" ERROR  "); at != std::string::npos;
         at = log.find(" ERROR  ", at + 1))
      ++count;
    return count;
  }

  // One report for the one failure: the error box for dova.ini and the bitmap, an Error line in
  // the journal for dova.lst; none for the journal itself or for the removal of the previous
  // bitmap after the desktop has the new one.
  void ExpectOneReport(const std::string& struck, const std::string& bitmap) {
    SCOPED_TRACE("struck " + struck);
    const bool removal = struck == desktopBefore_;
    if (struck.find("dova.ini") != std::string::npos) {
      ASSERT_EQ(app_.errors.shown.size(), 1u);
      EXPECT_EQ(app_.errors.shown[0], "Unable to write to " + app_.ctx().DataDir + "dova.ini");
      EXPECT_EQ(JournalErrors(), 0);
    } else if (struck.find("dova.lst") != std::string::npos) {
      EXPECT_TRUE(app_.errors.shown.empty());
      EXPECT_EQ(JournalErrors(), 1);
    } else if (struck.find("wallpaper") != std::string::npos && !removal) {
      ASSERT_EQ(app_.errors.shown.size(), 1u);
      EXPECT_EQ(app_.errors.shown[0].rfind("Unable to write to " + bitmap, 0), 0u)
          << app_.errors.shown[0];
      EXPECT_EQ(app_.desktop.wallpaper, desktopBefore_);
      EXPECT_EQ(JournalErrors(), 0);
    } else {
      EXPECT_TRUE(app_.errors.shown.empty());
      EXPECT_EQ(JournalErrors(), 0);
    }
  }

  testing::TemporaryFilesInMemory memory_;  // before the program directory is made
  TestApp app_;
  std::string pictures_[3];
  Files before_;
  std::string desktopBefore_;
};

// The settings and the list written at exit.
TEST_F(NothingLostTest, SavingAtExit) {
  Restore(before_);
  int calls = 0;
  long long iniBytes = 0, listBytes = 0;
  {
    FaultyFileSystem counting(FileFault::None());
    Run([&](TForm1& form) { EditSession(form); });
    calls = counting.WritingCalls();
  }
  const Files after = Snapshot();
  ASSERT_NE(after.at("dova.ini"), before_.at("dova.ini"));
  ASSERT_NE(after.at("dova.lst"), before_.at("dova.lst"));
  ASSERT_NE(after.at("dova.ini").find("ProxyServer=proxy2.lan"), std::string::npos);
  ASSERT_NE(after.at("dova.ini").find("Note=kept"), std::string::npos);
  {
    FaultyFileSystem counting(FileFault::DiskFull(1LL << 40, "dova.ini"));
    Run([&](TForm1& form) { EditSession(form); });
    iniBytes = counting.BytesWritten();
  }
  {
    FaultyFileSystem counting(FileFault::DiskFull(1LL << 40, "dova.lst"));
    Run([&](TForm1& form) { EditSession(form); });
    listBytes = counting.BytesWritten();
  }
  ASSERT_GT(calls, 40);

  const auto session = [&](TForm1& form) { EditSession(form); };
  const std::string bitmap = app_.ctx().DataDir + "wallpaper2.bmp";
  for (int call = 0; call < calls; ++call) {
    SCOPED_TRACE("writing call " + std::to_string(call));
    const std::string struck =
        RunWithFault(FileFault::CallFails(call), session, after, desktopBefore_);
    ASSERT_FALSE(struck.empty());
    ExpectOneReport(struck, bitmap);
  }
  for (const auto& [file, total] :
       {std::pair<std::string, long long>{"dova.ini", iniBytes}, {"dova.lst", listBytes}}) {
    for (long long bytes = 0; bytes < total; bytes += ByteStep(bytes)) {
      SCOPED_TRACE(file + " after " + std::to_string(bytes) + " bytes");
      ExpectOneReport(
          RunWithFault(FileFault::DiskFull(bytes, file), session, after, desktopBefore_), bitmap);
      RunWithFault(FileFault::Killed(bytes, file), session, after, desktopBefore_);
    }
  }
}

// A wallpaper change: the bitmap written, moved into place, the previous one removed.
TEST_F(NothingLostTest, ChangingTheWallpaper) {
  const auto session = [&](TForm1& form) { Install(form, 1); };
  Restore(before_);
  int calls = 0;
  long long bitmapBytes = 0;
  {
    FaultyFileSystem counting(FileFault::DiskFull(1LL << 40, "wallpaper"));
    Run(session);
    calls = counting.WritingCalls();
    bitmapBytes = counting.BytesWritten();
  }
  ASSERT_TRUE(app_.errors.shown.empty());
  const Files after = Snapshot();
  const std::string desktopAfter = app_.ctx().DataDir + "wallpaper2.bmp";
  ASSERT_EQ(app_.desktop.wallpaper, desktopAfter);
  ASSERT_EQ(LoadBmpFile(desktopAfter).Width(), 12);
  ASSERT_EQ(after.count("wallpaper1.bmp"), 0u);

  for (int call = 0; call < calls; ++call) {
    SCOPED_TRACE("writing call " + std::to_string(call));
    ExpectOneReport(RunWithFault(FileFault::CallFails(call), session, after, desktopAfter),
                    desktopAfter);
  }
  for (long long bytes = 0; bytes < bitmapBytes; bytes += ByteStep(bytes)) {
    SCOPED_TRACE("bitmap after " + std::to_string(bytes) + " bytes");
    ExpectOneReport(
        RunWithFault(FileFault::DiskFull(bytes, "wallpaper"), session, after, desktopAfter),
        desktopAfter);
    RunWithFault(FileFault::Killed(bytes, "wallpaper"), session, after, desktopAfter);
  }
}

// A picture cut short never becomes the wallpaper, whatever the list says.
TEST_F(NothingLostTest, ADamagedPictureIsRefused) {
  const std::string whole = app_.dir.ReadFile("picture1.jpg");
  app_.dir.WriteFile("picture1.jpg", whole.substr(0, whole.size() * 2 / 3));
  Restore(before_);
  Run([&](TForm1& form) { Install(form, 1); });
  ASSERT_EQ(app_.errors.shown.size(), 1u);
  EXPECT_NE(app_.errors.shown[0].find("the picture is damaged"), std::string::npos)
      << app_.errors.shown[0];
  EXPECT_NE(app_.errors.shown[0].find(pictures_[1]), std::string::npos);
  EXPECT_EQ(app_.desktop.wallpaper, desktopBefore_);
  const Files now = Snapshot();
  EXPECT_EQ(now.at("wallpaper1.bmp"), before_.at("wallpaper1.bmp"));
  EXPECT_EQ(now.count("wallpaper2.bmp"), 0u);
  // The list and the settings are saved as usual; the wallpaper in use is still the first.
  EXPECT_NE(now.at("dova.ini").find("CurrentWallpaper=" + pictures_[0]), std::string::npos);
}

// The journal: opened, rotated and written through the run. Its failures are not reported (it
// is where reports go), the run goes on, and the previous run's journal is not lost.
TEST_F(NothingLostTest, WritingTheJournal) {
  const auto session = [&](TForm1& form) { EditSession(form); };
  Restore(before_);
  const std::string previousJournal = app_.dir.ReadFile("Sites\\dova.log");
  ASSERT_FALSE(previousJournal.empty());
  long long journalBytes = 0;
  {
    FaultyFileSystem counting(FileFault::DiskFull(1LL << 40, "dova.log"));
    Run(session);
    journalBytes = counting.BytesWritten();
  }
  const Files after = Snapshot();
  for (long long bytes = 0; bytes < journalBytes; bytes += ByteStep(bytes)) {
    SCOPED_TRACE("journal after " + std::to_string(bytes) + " bytes");
    // Each time from the same previous journal.
    app_.dir.WriteFile("Sites\\dova.log", previousJournal);
    RemoveFile(app_.ctx().DataDir + "dova.log~");
    RunWithFault(FileFault::DiskFull(bytes, "dova.log"), session, after, desktopBefore_);
    EXPECT_TRUE(app_.errors.shown.empty());
    EXPECT_EQ(Snapshot(), after);
    EXPECT_EQ(app_.dir.ReadFile("Sites\\dova.log~"), previousJournal);
  }
  // The previous journal cannot be moved aside (its backup cannot be removed): this run's lines
  // follow it in the same file.
  app_.dir.WriteFile("Sites\\dova.log", previousJournal);
  app_.dir.WriteFile("Sites\\dova.log~", "the run before");
  {
    FaultyFileSystem files(FileFault::CallFails(0));
    Run(session);
    ASSERT_EQ(files.StruckPath(), app_.ctx().DataDir + "dova.log~");
  }
  const std::string journal = app_.dir.ReadFile("Sites\\dova.log");
  EXPECT_EQ(journal.rfind(previousJournal, 0), 0u);
  EXPECT_GT(journal.size(), previousJournal.size());
}

}  // namespace
}  // namespace dova

#endif  // DOVA_HAVE_FAULTY_FILE_SYSTEM
