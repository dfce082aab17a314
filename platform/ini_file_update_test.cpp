// Many writes to one INI file as one change, through the system's INI writer: all of them reach
// the file, or none does.
#include "platform/ini_file_update.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_attributes.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_dir.h"

namespace dova::testing {
namespace {

const char kStored[] = "; kept as it is\r\n[Main]\r\nLanguage=Russian\r\n[Custom]\r\nNote=mine\r\n";

void WriteSettings(IniFile& ini) {
  ini.WriteString("Main", "Language", "English");
  ini.WriteString("Main", "Section", "2");
  ini.WriteString("OnLine", "ProxyServer", "proxy.lan");
}

class IniFileUpdateTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string path_ = dir_.File("dova.ini");
};

TEST_F(IniFileUpdateTest, TheFileChangesOnlyWhenCommitted) {
  dir_.WriteFile("dova.ini", kStored);
  {
    IniFileUpdate update(path_);
    WriteSettings(update.File());
    EXPECT_EQ(update.File().ReadString("Main", "Language", ""), "English");
    EXPECT_EQ(update.File().Path(), path_);
    EXPECT_EQ(dir_.ReadFile("dova.ini"), kStored);
    ASSERT_TRUE(update.Commit());
    EXPECT_FALSE(dir_.Exists("dova.ini.new"));
  }
  auto ini = OpenIniFile(path_);
  EXPECT_EQ(ini->ReadString("Main", "Language", ""), "English");
  EXPECT_EQ(ini->ReadString("Main", "Section", ""), "2");
  EXPECT_EQ(ini->ReadString("OnLine", "ProxyServer", ""), "proxy.lan");
  EXPECT_EQ(ini->ReadString("Custom", "Note", ""), "mine");
  EXPECT_NE(dir_.ReadFile("dova.ini").find("; kept as it is"), std::string::npos);

  // Not committed: the file stays, the copy goes.
  {
    IniFileUpdate update(path_);
    update.File().WriteString("Main", "Language", "German");
  }
  EXPECT_EQ(OpenIniFile(path_)->ReadString("Main", "Language", ""), "English");
  EXPECT_FALSE(dir_.Exists("dova.ini.new"));

  // No file yet: the update makes it.
  const std::string fresh = dir_.File("fresh.ini");
  IniFileUpdate update(fresh);
  WriteSettings(update.File());
  ASSERT_TRUE(update.Commit());
  EXPECT_EQ(OpenIniFile(fresh)->ReadString("OnLine", "ProxyServer", ""), "proxy.lan");
}

TEST_F(IniFileUpdateTest, ARefusedFileIsNotTouched) {
  dir_.WriteFile("dova.ini", kStored);
  ASSERT_TRUE(SetReadOnlyFile(path_, true));
  {
    IniFileUpdate update(path_);
    EXPECT_FALSE(update.File().WriteString("Main", "Language", "English"));
    EXPECT_FALSE(update.Commit());
  }
  EXPECT_EQ(dir_.ReadFile("dova.ini"), kStored);
  EXPECT_TRUE(IsReadOnlyFile(path_));
  EXPECT_FALSE(dir_.Exists("dova.ini.new"));
  ASSERT_TRUE(SetReadOnlyFile(path_, false));

  IniFileUpdate nowhere(dir_.File("missing\\dova.ini"));
  EXPECT_FALSE(nowhere.File().WriteString("Main", "Language", "English"));
  EXPECT_FALSE(nowhere.Commit());
  EXPECT_FALSE(dir_.Exists("missing"));
}

#ifdef DOVA_HAVE_FAULTY_FILE_SYSTEM
// Every writing call failing in turn, the disk full or the program killed after every number of
// bytes: the file holds the old text or the whole new one.
TEST(IniFileUpdateFaultTest, AnyFailureLeavesTheOldFileOrTheWholeNewOne) {
  TemporaryFilesInMemory memory;
  TempDir dir;
  const std::string path = dir.File("dova.ini");
  dir.WriteFile("dova.ini", kStored);
  const auto update = [&] {
    IniFileUpdate update(path);
    WriteSettings(update.File());
    return update.Commit();
  };
  int calls = 0;
  long long bytes = 0;
  {
    FaultyFileSystem counting(FileFault::None());
    ASSERT_TRUE(update());
    calls = counting.WritingCalls();
    bytes = counting.BytesWritten();
  }
  const std::string updated = dir.ReadFile("dova.ini");
  const auto check = [&](const FileFault& fault, const std::string& what) {
    SCOPED_TRACE(what);
    dir.WriteFile("dova.ini", kStored);
    bool committed;
    {
      FaultyFileSystem files(fault);
      committed = update();
      EXPECT_TRUE(files.Struck());
    }
    EXPECT_EQ(dir.ReadFile("dova.ini"), committed ? updated : std::string(kStored));
    if (fault.kind != FileFault::Kind::kKilled) {
      EXPECT_FALSE(committed);
      EXPECT_FALSE(dir.Exists("dova.ini.new"));
      EXPECT_FALSE(dir.Exists("dova.ini.new.tmp"));
    }
  };
  for (int call = 0; call < calls; ++call)
    check(FileFault::CallFails(call), "call " + std::to_string(call));
  for (long long n = 0; n < bytes; ++n) {
    check(FileFault::DiskFull(n), "disk full after " + std::to_string(n));
    check(FileFault::Killed(n), "killed after " + std::to_string(n));
  }
}
#endif

}  // namespace
}  // namespace dova::testing
