// Building the main window's controls, pictures, menu, tooltips and tray icon from the design.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "picturelist/picture_list.h"
#include "platform/error.h"
#include "app/win32/main_window.h"
#include "app/win32/main_window_internal.h"
#include "app/win32/view_banner.h"
#include "app/win32/view_panel.h"
#include "app/win32/view_speed_button.h"
#include "app/win32/window_interface_text.h"
#include "app/win32/window_services.h"
#include "resources/resource_ids.h"

namespace dova {

namespace {

// The list buttons' glyphs by design name; in the glyph list, glyph k is image 2k and its
// greyed form image 2k + 1.
constexpr struct {
  const char* button;
  int bitmap;
} kGlyphs[] = {
    {"SpeedButton7", IDB_GLYPH_CLEAR_LIST}, {"SpeedButton1", IDB_GLYPH_ADD_FILES},
    {"SpeedButton2", IDB_GLYPH_ADD_DIRECTORY}, {"SpeedButton3", IDB_GLYPH_DELETE},
    {"SpeedButton4", IDB_GLYPH_STRIP}, {"SpeedButton8", IDB_GLYPH_INSTALL},
    {"SpeedButton5", IDB_GLYPH_MOVE_UP}, {"SpeedButton6", IDB_GLYPH_MOVE_DOWN},
};
constexpr int kComboDropHeight = 200;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

// The controls that show the model's texts are Unicode windows (see window_interface_text.h).
HWND CreateControlWindow(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& place,
                         HWND parent, int id) {
  return CreateWindowExW(exStyle, className, L"", style, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, parent, ControlId(id),
                         Instance(), nullptr);
}

void AddMaskedBitmap(HIMAGELIST list, int id) {
  auto bitmap = static_cast<HBITMAP>(
      LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return;
  ImageList_AddMasked(list, bitmap, DOVA_KEY_COLORREF);
  DeleteObject(bitmap);
}

BOOL CALLBACK SetFontOf(HWND window, LPARAM font) {
  SendMessageA(window, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

}  // namespace

void MainWindow::LoadPictures() {
  appIcon_.Reset(static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(IDI_DOVA), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), 0)));
  appIconSmall_.Reset(static_cast<HICON>(
      LoadImageA(Instance(), MAKEINTRESOURCEA(IDI_DOVA), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  banner_.Reset(static_cast<HBITMAP>(LoadImageA(Instance(), MAKEINTRESOURCEA(IDB_BANNER),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));

  glyphs_.Reset(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 16, 0));
  for (const auto& glyph : kGlyphs) {
    AddMaskedBitmap(glyphs_.Get(), glyph.bitmap);
    AddMaskedBitmap(glyphs_.Get(), glyph.bitmap + IDB_GLYPH_DISABLED_OFFSET);
  }
  // ImageList1: the channel marks.
  marks_.Reset(ImageList_Create(11, 11, ILC_COLOR24 | ILC_MASK, 2, 0));
  AddMaskedBitmap(marks_.Get(), IDB_MARK_CURRENT);
  AddMaskedBitmap(marks_.Get(), IDB_MARK_OTHER);
  // ImageList2: the tray's four icons, at the size the notification area shows.
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  trayIcons_.Reset(ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 4, 0));
  for (int id : {IDI_TRAY_0, IDI_TRAY_1, IDI_TRAY_2, IDI_TRAY_3}) {
    auto icon = static_cast<HICON>(
        LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, 0));
    if (icon) {
      ImageList_ReplaceIcon(trayIcons_.Get(), -1, icon);
      DestroyIcon(icon);
    }
  }
}

RECT MainWindow::PageRect() const {
  RECT area;
  GetClientRect(tabs_, &area);
  SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(tabs_, window_, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

HWND MainWindow::ParentWindow(const std::string& parentName) const {
  if (parentName.empty()) return window_;
  const auto found = byName_.find(parentName);
  if (found == byName_.end()) throw Error("The design has no control " + parentName);
  return found->second->window;
}

void MainWindow::CreateControl(ControlView& view) {
  Control& c = *view.model;
  FormModel& f = form_->Form();
  HWND parent = ParentWindow(c.parent);
  const RECT place{c.left, c.top, c.left + c.width, c.top + c.height};
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

  switch (c.kind) {
    case ControlKind::kPageControl: {
      tabs_ = CreateControlWindow(0, WC_TABCONTROLW, kChild | WS_TABSTOP | WS_CLIPSIBLINGS, place,
                                  parent, view.id);
      // The tabs' height follows the font, and the pages' area follows the tabs.
      SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
      for (TabSheet* sheet : {&f.TabSheet1, &f.TabSheet2, &f.TabSheet3, &f.TabSheet4}) {
        std::wstring caption = InterfaceText(sheet->caption);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs_, TCM_INSERTITEMW, sheet->pageIndex, reinterpret_cast<LPARAM>(&item));
      }
      pages_.assign(4, nullptr);
      view.window = tabs_;
      break;
    }
    case ControlKind::kTabSheet: {
      const auto& sheet = static_cast<TabSheet&>(c);
      HWND page = CreatePanel(window_, PageRect(), false);
      ShowWindow(page, SW_HIDE);
      pages_.at(static_cast<std::size_t>(sheet.pageIndex)) = page;
      view.window = page;
      break;
    }
    case ControlKind::kGroupBox:
      view.window = CreatePanel(parent, place, true);
      break;
    case ControlKind::kCheckBox:
      view.window = CreateControlWindow(
          0, WC_BUTTONW, kChild | WS_TABSTOP | BS_AUTOCHECKBOX | BS_NOTIFY, place, parent, view.id);
      break;
    case ControlKind::kRadioButton:
      // The model checks radio buttons (one per parent), so they are not automatic ones.
      view.window = CreateControlWindow(0, WC_BUTTONW, kChild | BS_RADIOBUTTON | BS_NOTIFY, place,
                                        parent, view.id);
      break;
    case ControlKind::kComboBox:
      view.window = CreateControlWindow(
          0, WC_COMBOBOXW, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
          RECT{place.left, place.top, place.right, place.bottom + kComboDropHeight}, parent,
          view.id);
      SendMessageA(view.window, CB_SETMINVISIBLE, 12, 0);
      break;
    case ControlKind::kEdit: {
      const auto& edit = static_cast<Edit&>(c);
      // A Unicode edit keeps whatever the user types, also outside the system's code page.
      view.window = CreateControlWindow(
          WS_EX_CLIENTEDGE, WC_EDITW,
          kChild | WS_TABSTOP | ES_AUTOHSCROLL | (edit.password ? ES_PASSWORD : 0), place, parent,
          view.id);
      if (edit.password) SendMessageW(view.window, EM_SETPASSWORDCHAR, L'*', 0);
      break;
    }
    case ControlKind::kLabel:
      view.window = CreateControlWindow(0, WC_STATICW, kChild | SS_LEFT | SS_NOPREFIX, place,
                                        parent, view.id);
      break;
    case ControlKind::kSpeedButton: {
      int glyph = 0;
      for (int k = 0; k < static_cast<int>(std::size(kGlyphs)); ++k)
        if (c.name == kGlyphs[k].button) glyph = k;
      view.window = CreateSpeedButton(parent, view.id, place, glyphs_.Get(), 2 * glyph,
                                      2 * glyph + 1);
      break;
    }
    case ControlKind::kFileGrid: {
      AppContext& context = form_->Context();
      fileGrid_ = std::make_unique<FileGridView>(
          parent, view.id, font_.Get(), f.FileGrid,
          [&context](const std::string& sizeText, bool selected) {
            return FileGridCellColours(sizeText, context.ScreenAspect, selected);
          },
          window_, kSelectionMessage);
      fileGrid_->onDblClick = [this] { Dispatch([this] { form_->FileGridDblClick(); }); };
      view.window = fileGrid_->Handle();
      break;
    }
    case ControlKind::kChannelGrid:
      channelGrid_ =
          std::make_unique<ChannelGridView>(parent, view.id, form_->Context(), marks_.Get());
      channelGrid_->onClick = [this](int row) {
        Dispatch([this, row] { form_->StringGrid1Click(row); });
      };
      channelGrid_->onDblClick = [this](int row) {
        Dispatch([this, row] { form_->StringGrid1DblClick(row); });
      };
      view.window = channelGrid_->Handle();
      break;
    case ControlKind::kImage:
      view.window = CreateBanner(parent, view.id, place, banner_.Get());
      break;
    case ControlKind::kStatusBar:
      // The status bar places itself along the window's bottom edge.
      status_ = CreateControlWindow(0, STATUSCLASSNAMEW, kChild, RECT{}, parent, view.id);
      SendMessageW(status_, SB_SIMPLE, TRUE, 0);
      view.window = status_;
      break;
  }
  if (!view.window) throw Error("Cannot create the control " + c.name);
}

void MainWindow::CreateControls() {
  const std::vector<Control*>& controls = form_->Form().Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    auto view = std::make_unique<ControlView>();
    view->model = controls[i];
    view->id = kControlIdBase + static_cast<int>(i);
    CreateControl(*view);
    byWindow_[view->window] = view.get();
    byName_[view->model->name] = view.get();
    views_.push_back(std::move(view));
  }
  // The pages lie on the tab control: it paints first and leaves their area to them.
  SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EnumChildWindows(window_, SetFontOf, reinterpret_cast<LPARAM>(font_.Get()));
}

void MainWindow::CreateMenu() {
  menu_.Reset(CreatePopupMenu());
  const std::vector<MenuItem>& items = form_->Form().PopupMenu;
  menuNames_.clear();
  shownMenu_.clear();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuItem& item = items[i];
    const UINT id = kMenuIdBase + static_cast<UINT>(i);
    if (item.separator)
      AppendMenuA(menu_.Get(), MF_SEPARATOR, 0, nullptr);
    else
      AppendMenuW(menu_.Get(), MF_STRING, id, InterfaceText(item.caption).c_str());
    if (item.isDefault) SetMenuDefaultItem(menu_.Get(), id, FALSE);
    menuNames_.push_back(item.name);
    shownMenu_.push_back(item.caption);
  }
}

void MainWindow::CreateTooltips() {
  tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                              Instance(), nullptr);
  for (auto& view : views_) {
    if (view->model->kind != ControlKind::kSpeedButton) continue;
    const auto& button = static_cast<const SpeedButton&>(*view->model);
    view->showHint = button.showHint;
    if (!button.showHint) continue;
    std::wstring hint = InterfaceText(button.hint);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(view->window);
    tool.uId = reinterpret_cast<UINT_PTR>(view->window);
    tool.lpszText = hint.data();
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    view->hint = button.hint;
  }
}

void MainWindow::CreateTray() {
  FormModel& f = form_->Form();
  tray_ = std::make_unique<TTrayIcon>(appIconSmall_.Get());
  tray_->SetHint(f.trayHint);
  tray_->SetPopupMenu(menu_.Get(), window_);
  tray_->SetRestoreOn(imNone);
  tray_->SetPopupMenuOn(imRightClickUp);
  tray_->SetIcons(trayIcons_.Get());
  tray_->SetIconIndex(f.trayIconIndex);
  tray_->SetApplicationWindow(window_);
  tray_->OnMouseUp = [this](TrayButton button, TrayShiftState, POINT) {
    const MouseButton pressed = button == TrayButton::Left    ? MouseButton::Left
                                : button == TrayButton::Right ? MouseButton::Right
                                                              : MouseButton::Middle;
    Dispatch([this, pressed] { form_->TrayIcon1MouseUp(pressed); });
  };
  tray_->SetVisible(true);
}

}  // namespace dova
