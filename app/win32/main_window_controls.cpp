// Building the main window's controls, pictures, menu, tooltips and tray icon from the design.
#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>

#include <algorithm>

#include "app/win32/command_glyphs.h"
#include "app/win32/main_window.h"
#include "app/win32/main_window_internal.h"
#include "app/win32/window_interface_text.h"
#include "app/win32/window_services.h"
#include "platform/error.h"
#include "resources/resource_ids.h"

namespace dova {

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// The bitmap resource `id` stretched to the list's image size; its key colour is transparent.
void AddMaskedBitmap(HIMAGELIST list, int id) {
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  // Stretched pixel by pixel, so that the key colour stays exact at the glyphs' edges.
  auto bitmap = static_cast<HBITMAP>(
      LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, cx, cy, LR_CREATEDIBSECTION));
  if (!bitmap) return;
  ImageList_AddMasked(list, bitmap, DOVA_KEY_COLORREF);
  DeleteObject(bitmap);
}

// Makes `list` hold images of `size` x `size`, empty; the handle stays the same, so the
// controls that draw from it need not be told.
void ResizeImageList(UniqueImageList& list, int size, int count) {
  if (list.Get())
    ImageList_SetIconSize(list.Get(), size, size);
  else
    list.Reset(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0));
}

BOOL CALLBACK SetFontOf(HWND window, LPARAM font) {
  SendMessageA(window, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

}  // namespace

void MainWindow::LoadPictures() {
  appIcon_.Reset(
      static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(IDI_DOVA), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  appIconSmall_.Reset(static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(IDI_DOVA),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), 0)));
  banner_.Reset(static_cast<HBITMAP>(LoadImageA(Instance(), MAKEINTRESOURCEA(IDB_BANNER),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));

  LoadScaledImages();
  // ImageList2: the tray's four icons, at the size the notification area shows.
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  trayIcons_.Reset(ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 4, 0));
  for (int id : {IDI_TRAY_0, IDI_TRAY_1, IDI_TRAY_2, IDI_TRAY_3}) {
    auto icon =
        static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, 0));
    if (icon) {
      ImageList_ReplaceIcon(trayIcons_.Get(), -1, icon);
      DestroyIcon(icon);
    }
  }
}

void MainWindow::LoadScaledImages() {
  // The list buttons' glyphs (16 x 16 at 96 DPI) and ImageList1, the channel marks (11 x 11).
  ResizeImageList(glyphs_, ScaleToDpi(16, dpi_), 2 * static_cast<int>(CommandGlyphs().size()));
  for (const int glyph : CommandGlyphs()) {
    AddMaskedBitmap(glyphs_.Get(), glyph);
    AddMaskedBitmap(glyphs_.Get(), glyph + IDB_GLYPH_DISABLED_OFFSET);
  }
  ResizeImageList(marks_, ScaleToDpi(11, dpi_), 2);
  AddMaskedBitmap(marks_.Get(), IDB_MARK_CURRENT);
  AddMaskedBitmap(marks_.Get(), IDB_MARK_OTHER);
}

RECT MainWindow::PageArea() const {
  RECT area;
  GetClientRect(tabs_, &area);
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(tabs_, window_, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

void MainWindow::AdoptTabs(HWND tabs) {
  tabs_ = tabs;
  pages_.assign(4, nullptr);
}

void MainWindow::AdoptPage(int index, HWND page) {
  pages_.at(static_cast<std::size_t>(index)) = page;
}

UINT MainWindow::SelectionMessage() const { return kSelectionMessage; }

HWND MainWindow::ParentWindow(const std::string& parentName) const {
  if (parentName.empty()) return window_;
  const auto found = byName_.find(parentName);
  if (found == byName_.end()) throw Error("The design has no control " + parentName);
  return found->second->Window();
}

void MainWindow::CreateControls() {
  const std::vector<Control*>& controls = form_->Form().Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    std::unique_ptr<ControlView> view =
        MakeControlView(*controls[i], kControlIdBase + static_cast<int>(i));
    view->Create(*this, ParentWindow(controls[i]->parent));
    byWindow_[view->Window()] = view.get();
    byName_[controls[i]->name] = view.get();
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
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, Instance(), nullptr);
  for (auto& view : views_) view->AttachTooltip(tooltips_);
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
