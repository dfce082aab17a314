#include "app/start_with_windows.h"

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace dova {
namespace {

using testing::FakeStartupEntries;

const char kExe[] = "C:\\Programs\\Dova\\Dova.exe";
const std::string kOff("\x03\0\0\0\0\0\0\0\x10\x20\x30\x40", 12);
const std::string kOn("\x02\0\0\0\0\0\0\0\0\0\0\0", 12);

TEST(StartWithWindows, TheCommandQuotesThePathAndAsksForTheTray) {
  EXPECT_EQ(StartupCommand(kExe), "\"C:\\Programs\\Dova\\Dova.exe\" minimized");
  EXPECT_EQ(StartupCommand("C:\\Программы\\山水\\Dova.exe"),
            "\"C:\\Программы\\山水\\Dova.exe\" minimized");
  EXPECT_EQ(ProgramOfCommand("\"C:\\Program Files\\Dova\\Dova.exe\" minimized"),
            "C:\\Program Files\\Dova\\Dova.exe");
  EXPECT_EQ(ProgramOfCommand("  C:\\Dova\\Dova.exe minimized"), "C:\\Dova\\Dova.exe");
  EXPECT_EQ(ProgramOfCommand("\"C:\\Dova\\Dova.exe"), "C:\\Dova\\Dova.exe");
  EXPECT_EQ(ProgramOfCommand(""), "");
}

TEST(StartWithWindows, OnlyAnEntryForThisCopyThatTheUserLeftOnCounts) {
  FakeStartupEntries entries;
  EXPECT_FALSE(StartsWithWindows(entries, kExe));
  entries.commands[kStartupEntryName] = StartupCommand(kExe);
  EXPECT_TRUE(StartsWithWindows(entries, kExe));
  // The same file in other letters or slashes, without quotes or the word.
  entries.commands[kStartupEntryName] = "c:/programs/dova/DOVA.EXE";
  EXPECT_TRUE(StartsWithWindows(entries, kExe));
  // A copy that moved, or another program under the name.
  entries.commands[kStartupEntryName] = StartupCommand("D:\\Old\\Dova.exe");
  EXPECT_FALSE(StartsWithWindows(entries, kExe));
  entries.commands[kStartupEntryName] = "\"C:\\Programs\\Dova\\Dova.exe.bak\" minimized";
  EXPECT_FALSE(StartsWithWindows(entries, kExe));

  // Turned off in the Task Manager's list: an odd first byte of the switch.
  entries.commands[kStartupEntryName] = StartupCommand(kExe);
  entries.switches[kStartupEntryName] = kOff;
  EXPECT_FALSE(StartsWithWindows(entries, kExe));
  entries.switches[kStartupEntryName] = kOn;
  EXPECT_TRUE(StartsWithWindows(entries, kExe));
  entries.switches[kStartupEntryName] = "";
  EXPECT_TRUE(StartsWithWindows(entries, kExe));
}

TEST(StartWithWindows, CheckingWritesThisCopyAndTurnsBackOnWhatTheUserTurnedOff) {
  FakeStartupEntries entries;
  entries.commands["Other Program"] = "other.exe";
  SetStartWithWindows(entries, kExe, true);
  EXPECT_EQ(entries.commands[kStartupEntryName], "\"C:\\Programs\\Dova\\Dova.exe\" minimized");
  EXPECT_TRUE(entries.switches.empty());  // no switch is made where there was none

  // A moved copy points the entry here.
  entries.commands[kStartupEntryName] = StartupCommand("D:\\Old\\Dova.exe");
  SetStartWithWindows(entries, kExe, true);
  EXPECT_EQ(entries.commands[kStartupEntryName], StartupCommand(kExe));

  entries.switches[kStartupEntryName] = kOff;
  SetStartWithWindows(entries, kExe, true);
  EXPECT_EQ(entries.switches[kStartupEntryName], kOn);
  EXPECT_TRUE(StartsWithWindows(entries, kExe));

  // A switch that says on is left as the system wrote it.
  const std::string onWithTime("\x02\0\0\0\0\0\0\0\x01\x02\x03\x04", 12);
  entries.switches[kStartupEntryName] = onWithTime;
  SetStartWithWindows(entries, kExe, true);
  EXPECT_EQ(entries.switches[kStartupEntryName], onWithTime);
}

TEST(StartWithWindows, ClearingRemovesTheEntryAndItsSwitchOnly) {
  FakeStartupEntries entries;
  entries.commands["Other Program"] = "other.exe";
  entries.commands[kStartupEntryName] = StartupCommand(kExe);
  entries.switches[kStartupEntryName] = kOn;
  SetStartWithWindows(entries, kExe, false);
  EXPECT_EQ(entries.commands.count(kStartupEntryName), 0u);
  EXPECT_EQ(entries.switches.count(kStartupEntryName), 0u);
  EXPECT_EQ(entries.commands["Other Program"], "other.exe");
  SetStartWithWindows(entries, kExe, false);  // nothing there: no failure
  EXPECT_FALSE(StartsWithWindows(entries, kExe));
}

}  // namespace
}  // namespace dova
