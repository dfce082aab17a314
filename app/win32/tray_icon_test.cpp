// The tray icon of a real main window under Wine's notification area: a left or middle release
// opens the window, a right release opens the menu, minimizing leaves only the icon, and the
// second copy of the program brings the running one forward.
#include "app/win32/tray_icon.h"

#include <windows.h>
// The headers below need windows.h first.
#include <gtest/gtest.h>

#include "app/win32/window_single_instance.h"
#include "tests/support/win32/window_test_support.h"

namespace dova::testing {
namespace {

using TrayIconTest = WindowTest;
constexpr UINT kCallback = WM_USER + 1;

std::string HiddenIni() { return "[Main]\r\nInTray=1\r\n[OnLine]\r\nOnLoad=0\r\n"; }

TEST_F(TrayIconTest, StartsAtRestWithTheHintAndTheDesignedMenu) {
  Start(HiddenIni());
  TTrayIcon& tray = *window_->Tray();
  EXPECT_TRUE(tray.Visible());
  EXPECT_EQ(tray.IconIndex(), 3);
  EXPECT_EQ(tray.Hint(), "Dova Wallpaper Changer");
  EXPECT_FALSE(IsWindowVisible(window_->Handle()));
  char className[32] = "";
  GetClassNameA(tray.Handle(), className, sizeof className);
  EXPECT_STREQ(className, "TTrayIcon");

  HMENU menu = window_->PopupMenu();
  ASSERT_EQ(GetMenuItemCount(menu), 7);
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), GetMenuItemID(menu, 0));  // "Open", bold
  EXPECT_EQ(GetMenuItemID(menu, 1), 0u);                                  // separators
  EXPECT_EQ(GetMenuItemID(menu, 5), 0u);
  // "Previous picture" is greyed while there is nothing to go back to.
  EXPECT_TRUE(GetMenuState(menu, 4, MF_BYPOSITION) & MF_GRAYED);
  char caption[64] = "";
  GetMenuStringA(menu, 6, caption, sizeof caption, MF_BYPOSITION);
  EXPECT_EQ(std::string(caption), Context().Phrase("quit"));

  // The work in progress shows in the icon.
  Context().SetTrayIcon(1);
  EXPECT_EQ(tray.IconIndex(), 1);
  Context().SetTrayIcon(3);
  EXPECT_EQ(tray.IconIndex(), 3);
  // A hint of 64 characters or more is refused.
  tray.SetHint(std::string(64, 'x'));
  EXPECT_EQ(tray.Hint(), "Dova Wallpaper Changer");
}

TEST_F(TrayIconTest, LeftAndMiddleReleasesOpenTheWindowTheRightOneDoesNot) {
  Start(HiddenIni());
  HWND tray = window_->Tray()->Handle();
  SendMessageA(tray, kCallback, 0, WM_RBUTTONDOWN);
  // The right release opens the menu, which waits for the user; a timer looks at it and closes
  // it from inside the menu's loop.
  static bool menuShown;
  menuShown = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 700, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    menuShown = menu && IsWindowVisible(menu);
    EndMenu();
  });
  SendMessageA(tray, kCallback, 0, WM_RBUTTONUP);
  KillTimer(nullptr, timer);
  Pump();
  EXPECT_TRUE(menuShown);
  EXPECT_FALSE(IsWindowVisible(window_->Handle()));

  SendMessageA(tray, kCallback, 0, WM_LBUTTONDOWN);
  EXPECT_FALSE(IsWindowVisible(window_->Handle()));  // presses do nothing
  SendMessageA(tray, kCallback, 0, WM_LBUTTONUP);
  Pump();
  EXPECT_TRUE(IsWindowVisible(window_->Handle()));

  ShowWindow(window_->Handle(), SW_HIDE);
  SendMessageA(tray, kCallback, 0, WM_MBUTTONUP);
  Pump();
  EXPECT_TRUE(IsWindowVisible(window_->Handle()));
}

TEST_F(TrayIconTest, MinimizingLeavesOnlyTheIconAndOpeningRestores) {
  Start(ShownIni());
  HWND form = window_->Handle();
  ASSERT_TRUE(IsWindowVisible(form));
  SendMessageA(form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(form));  // no taskbar button
  EXPECT_TRUE(window_->Tray()->Visible());
  SendMessageA(window_->Tray()->Handle(), kCallback, 0, WM_LBUTTONUP);
  Pump();
  EXPECT_TRUE(IsWindowVisible(form));
  EXPECT_FALSE(IsIconic(form));
}

TEST_F(TrayIconTest, AnswersTheEndOfTheSessionAndComesBackWithTheTaskbar) {
  Start(HiddenIni());
  TTrayIcon& tray = *window_->Tray();
  EXPECT_EQ(SendMessageA(tray.Handle(), WM_QUERYENDSESSION, 0, 0), 1);
  // Explorer restarted: the icon is added again (the shell answers the add once more).
  SendMessageA(tray.Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(tray.Visible());
  SendMessageA(tray.Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_FALSE(tray.Visible());
}

TEST_F(TrayIconTest, ASecondCopyBringsTheRunningOneForward) {
  Start(HiddenIni());
  SingleInstance first;
  ASSERT_TRUE(first.IsFirst());
  SingleInstance second;
  EXPECT_FALSE(second.IsFirst());
  ASSERT_FALSE(IsWindowVisible(window_->Handle()));
  EXPECT_TRUE(AskRunningCopyToOpen());
  Pump();
  EXPECT_TRUE(IsWindowVisible(window_->Handle()));
}

}  // namespace
}  // namespace dova::testing
