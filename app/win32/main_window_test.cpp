// The main window under Wine: built as designed, and every kind of control carries the user's
// changes into the model before the form's handler runs and shows the handler's changes after.
#include "app/win32/main_window.h"

#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/support/win32/window_test_support.h"

namespace dova::testing {
namespace {

using MainWindowTest = WindowTest;

std::string TextOf(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::wstring WideTextOf(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  return text;
}

// Picks a language in the options' language list as the user does.
void ChooseLanguage(HWND languages, const char* name) {
  const int index = static_cast<int>(SendMessageA(
      languages, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)));
  ASSERT_GE(index, 0) << name;
  SendMessageA(languages, CB_SETCURSEL, index, 0);
  SendMessageA(GetParent(languages), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(languages), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(languages));
}

TEST_F(MainWindowTest, IsBuiltAsDesigned) {
  Start(ShownIni());
  HWND form = window_->Handle();
  char className[32] = "";
  GetClassNameA(form, className, sizeof className);
  EXPECT_STREQ(className, "TForm1");
  wchar_t caption[64] = L"";
  GetWindowTextW(form, caption, 64);
  EXPECT_STREQ(caption, L"Dova Wallpaper \x0421hanger");  // a Cyrillic Es

  RECT client;
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, 471);
  EXPECT_EQ(client.bottom, 296);
  POINT origin{0, 0};
  ClientToScreen(form, &origin);
  RECT frame;
  GetWindowRect(form, &frame);
  EXPECT_EQ(frame.left, 397);
  EXPECT_EQ(frame.top, 110);
  const LONG style = GetWindowLongA(form, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(IsWindowVisible(form));

  // Every control in its parent at the designed place (lists: as wide, any drop height).
  for (Control* c : Model().Controls()) {
    HWND control = Window(c->name);
    ASSERT_NE(control, nullptr) << c->name;
    if (c->kind == ControlKind::kTabSheet || c->kind == ControlKind::kStatusBar ||
        c->kind == ControlKind::kLabel)
      continue;
    const RECT r = PlaceOf(c->name);
    EXPECT_EQ(r.left, c->left) << c->name;
    EXPECT_EQ(r.top, c->top) << c->name;
    EXPECT_EQ(r.right - r.left, c->width) << c->name;
    if (c->kind != ControlKind::kComboBox) {
      EXPECT_EQ(r.bottom - r.top, c->height) << c->name;
    }
  }
  // The status bar along the bottom edge, the pages inside the page control.
  RECT status;
  GetWindowRect(Window("StatusBar1"), &status);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&status), 2);
  EXPECT_EQ(status.bottom, 296);
  EXPECT_GE(status.top, 223 + 54 - 2);
  const RECT page = PlaceOf("TabSheet2");
  EXPECT_GE(page.top, 18);
  EXPECT_LE(page.bottom, 223);
  EXPECT_GE(page.bottom - page.top, 190);  // the list page's controls reach down to 190

  // Texts of the language pack on the pages and controls.
  EXPECT_EQ(TextOf(Window("CheckBox1")), Context().Phrase("onstartup"));
  char tab[64] = "";
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = tab;
  item.cchTextMax = sizeof tab;
  SendMessageA(Window("PageControl1"), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::string(tab), Context().Phrase("fromlist"));
  EXPECT_EQ(SendMessageA(Window("PageControl1"), TCM_GETITEMCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageA(Window("ComboBox3"), CB_GETCOUNT, 0, 0), 13);
  EXPECT_EQ(SendMessageA(Window("Edit4"), EM_GETPASSWORDCHAR, 0, 0), '*');
}

TEST_F(MainWindowTest, CheckBoxesReachTheModelBeforeTheirHandler) {
  // The keys go into the one [OnLine] section: a second one would never be read.
  std::string ini = ShownIni();
  ini.replace(ini.find("[OnLine]\r\n"), 10, "[OnLine]\r\nUseProxy=0\r\nUseProxyPassword=1\r\n");
  Start(ini);
  ClickTab(3);
  ASSERT_FALSE(Model().CheckBox4.checked);
  EXPECT_FALSE(IsWindowEnabled(Window("Edit1")));
  EXPECT_FALSE(IsWindowEnabled(Window("Edit3")));

  SendMessageA(Window("CheckBox4"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(Model().CheckBox4.checked);
  EXPECT_TRUE(IsWindowEnabled(Window("Edit1")));  // UpdateControls saw the new state
  EXPECT_TRUE(IsWindowEnabled(Window("Edit3")));
  EXPECT_TRUE(IsWindowEnabled(Window("CheckBox5")));

  SendMessageA(Window("CheckBox5"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(Model().CheckBox5.checked);
  EXPECT_FALSE(IsWindowEnabled(Window("Edit3")));
  EXPECT_FALSE(IsWindowEnabled(Window("Edit4")));
}

TEST_F(MainWindowTest, RadioButtonsOfOneGroupExcludeEachOtherAndMoveTheModeHighlight) {
  Start(ShownIni());
  HWND tabs = Window("PageControl1");
  const auto highlighted = [&](int page) {
    TCITEMA item{};
    item.mask = TCIF_STATE;
    item.dwStateMask = TCIS_HIGHLIGHTED;
    SendMessageA(tabs, TCM_GETITEMA, page, reinterpret_cast<LPARAM>(&item));
    return (item.dwState & TCIS_HIGHLIGHTED) != 0;
  };
  EXPECT_TRUE(highlighted(0));
  EXPECT_FALSE(highlighted(1));
  ClickTab(2);
  SendMessageA(Window("RadioButton10"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(Model().RadioButton10.checked);
  EXPECT_FALSE(Model().RadioButton9.checked);
  EXPECT_EQ(SendMessageA(Window("RadioButton9"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(Window("RadioButton10"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(highlighted(0));
  EXPECT_TRUE(highlighted(1));
  // Only the checked button of a group is a tab stop.
  EXPECT_FALSE(GetWindowLongA(Window("RadioButton9"), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongA(Window("RadioButton10"), GWL_STYLE) & WS_TABSTOP);

  // The filter list follows the program's own resizing.
  SendMessageA(Window("RadioButton2"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(IsWindowEnabled(Window("ComboBox5")));
  SendMessageA(Window("RadioButton3"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindowEnabled(Window("ComboBox5")));
}

TEST_F(MainWindowTest, ListChoicesAndEditedTextsReachTheModel) {
  Start(ShownIni());
  HWND combo = Window("ComboBox3");
  SendMessageA(combo, CB_SETCURSEL, 4, 0);
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(Model().ComboBox3.itemIndex, 4);
  EXPECT_EQ(Model().ComboBox3.Text(), "500");

  SetWindowTextA(Window("Edit1"), "proxy.example.org");
  EXPECT_EQ(Model().Edit1.text, "proxy.example.org");
  // And the other way: a text the program sets appears in the field.
  Model().Edit2.text = "3128";
  window_->Sync();
  EXPECT_EQ(TextOf(Window("Edit2")), "3128");
}

TEST_F(MainWindowTest, ALanguageSwitchKeepsTheLabelsSixPixelsLeftOfTheirLists) {
  Start(ShownIni());
  const auto checkLabels = [&] {
    EXPECT_EQ(PlaceOf("Label16").right, PlaceOf("ComboBox10").left - 6);
    EXPECT_EQ(PlaceOf("Label9").right, PlaceOf("ComboBox5").left - 6);
  };
  checkLabels();
  ChooseLanguage(Window("ComboBox10"), "Russian");
  Pump();
  EXPECT_EQ(WideTextOf(Window("Label16")), L"Язык:");
  checkLabels();
}

// The language files are Windows-1251 while Wine runs with code page 1252 here, as an English
// or German Windows does: the texts must still read as Russian, not as "ßçûê:".
TEST_F(MainWindowTest, ARussianInterfaceReadsRightWhateverTheSystemCodePage) {
  Start(ShownIni());
  ChooseLanguage(Window("ComboBox10"), "Russian");
  Pump();
  HWND label = Window("Label16");
  EXPECT_EQ(WideTextOf(label), L"Язык:");
  EXPECT_EQ(WideTextOf(Window("CheckBox1")), L"При загрузке");

  // The label is exactly as wide as its Cyrillic text in its font: nothing is cut off.
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, L"Язык:", 5, &size);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  const RECT place = PlaceOf("Label16");
  EXPECT_EQ(place.right - place.left, size.cx);

  wchar_t tab[64] = L"";
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = tab;
  item.cchTextMax = 64;
  SendMessageW(Window("PageControl1"), TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(tab, L"Картинка дня");

  wchar_t menu[64] = L"";
  GetMenuStringW(window_->PopupMenu(), 0, menu, 64, MF_BYPOSITION);  // N3, the default item
  EXPECT_STREQ(menu, L"Открыть");

  Context().SetStatus(Context().Phrase("updatingdesktop"));
  wchar_t status[128] = L"";
  SendMessageW(Window("StatusBar1"), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
  EXPECT_STREQ(status, L"Обновление рабочего стола...");

  // And back: the English texts as before.
  ChooseLanguage(Window("ComboBox10"), "English");
  Pump();
  EXPECT_EQ(WideTextOf(label), L"Language:");
}

// The proxy's address, login and password are the user's data: every character the user types
// reaches the model, whatever the system's code page, and comes back to the field.
TEST_F(MainWindowTest, EditFieldsKeepEveryCharacterTheUserTypes) {
  Start(ShownIni());
  ClickTab(3);
  SetWindowTextW(Window("Edit3"), L"Müller Аня 山");
  EXPECT_EQ(Model().Edit3.text, "Müller Аня 山");
  Model().Edit4.text = "Grüß 😀";
  window_->Sync();
  EXPECT_EQ(WideTextOf(Window("Edit4")), L"Grüß 😀");
}

TEST_F(MainWindowTest, TheStatusBarShowsItsTextAtOnce) {
  Start(ShownIni());
  Context().SetStatus("Converting C:\\Pictures\\sea.jpg");
  char text[256] = "";
  // Wine's status bar answers SB_GETTEXT in simple mode for part 0 only.
  SendMessageA(Window("StatusBar1"), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Converting C:\\Pictures\\sea.jpg");
}

TEST_F(MainWindowTest, TheFormSeesKeysBeforeTheFocusedControl) {
  Start(ShownIni(), ListOf(10));
  ClickTab(1);
  HWND grid = Window("FileGrid");
  SetFocus(grid);
  Pump();
  EXPECT_EQ(Model().FileGrid.RowCount(), 10);
  PostMessageA(grid, WM_KEYDOWN, VK_DELETE, 0);
  Pump();
  EXPECT_EQ(Model().FileGrid.RowCount(), 9);  // row 0 was selected
  EXPECT_EQ(SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0), 9);

  // F1 asks for the focused control's topic.
  PostMessageA(grid, WM_KEYDOWN, VK_F1, 0);
  Pump();
  ASSERT_FALSE(help_.shown.empty());
  EXPECT_NE(help_.shown.back().find("::/HTML/list.htm>main"), std::string::npos);
  SetFocus(Window("CheckBox7"));
  PostMessageA(Window("CheckBox7"), WM_KEYDOWN, VK_F1, 0);
  Pump();
  EXPECT_NE(help_.shown.back().find("::/HTML/offline.htm>main"), std::string::npos);

  // Escape ends the message loop, also from an edit field.
  ClickTab(3);
  SetFocus(Window("Edit1"));
  PostMessageA(Window("Edit1"), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_TRUE(window_->Terminated());
  EXPECT_FALSE(Context().WindowClosed);
}

TEST_F(MainWindowTest, CtrlTabTurnsThePages) {
  Start(ShownIni());
  SetFocus(Window("PageControl1"));
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PostMessageA(Window("PageControl1"), WM_KEYDOWN, VK_TAB, 0);
  Pump();
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(Model().activePage, 1);
  EXPECT_TRUE(IsWindowVisible(Window("TabSheet2")));
  EXPECT_FALSE(IsWindowVisible(Window("TabSheet1")));
}

TEST_F(MainWindowTest, TheCloseBoxSetsWindowClosedAndEndsTheLoop) {
  Start(ShownIni());
  SendMessageA(window_->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_TRUE(Context().WindowClosed);
  EXPECT_TRUE(window_->Terminated());
  EXPECT_TRUE(IsWindow(window_->Handle()));  // destroyed only after the form has saved
}

TEST_F(MainWindowTest, TheChannelListShowsOneRowPerChannelAndAClickMakesItCurrent) {
  Start(ShownIni());
  HWND list = Window("StringGrid1");
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 48);
  SendMessageA(list, LB_SETCURSEL, 2, 0);
  SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  const auto& channels = Context().channels.Channels();
  EXPECT_FALSE(channels[0].Enabled);
  EXPECT_TRUE(channels[2].Enabled);
  // A second click on the selected row: the list box reports no change, the grid still clicks.
  Context().channels.MakeCurrent(0);
  RECT row;
  SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 5, row.top + 5));
  SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(row.left + 5, row.top + 5));
  Pump();
  EXPECT_TRUE(channels[2].Enabled);
  EXPECT_FALSE(channels[0].Enabled);
}

TEST_F(MainWindowTest, TheBannerOpensTheWebPage) {
  Start(ShownIni());
  HWND banner = Window("Image1");
  SendMessageA(banner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(banner, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  ASSERT_EQ(desktop_.openedUrls.size(), 1u);
  EXPECT_NE(desktop_.openedUrls[0].find("ref=wallpaper_changer"), std::string::npos);
  EXPECT_EQ(GetClassLongPtrA(banner, GCLP_HCURSOR),
            reinterpret_cast<LONG_PTR>(LoadCursor(nullptr, IDC_HAND)));
}

TEST_F(MainWindowTest, SpeedButtonsClickLikeButtonsAndShowTheirHints) {
  Start(ShownIni(), ListOf(3));
  ClickTab(1);
  HWND clear = Window("SpeedButton7");
  EXPECT_TRUE(IsWindowEnabled(clear));
  SendMessageA(clear, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(clear, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump();
  EXPECT_TRUE(Model().FileGrid.ListEmpty());
  EXPECT_FALSE(IsWindowEnabled(clear));  // nothing left to clear
  EXPECT_TRUE(IsWindowEnabled(Window("SpeedButton1")));
  EXPECT_NE(GetFocus(), clear);  // flat buttons never take the focus
}

}  // namespace
}  // namespace dova::testing
