// Form1 on the screen: the main window built from the form's design (FormModel), the tray icon,
// the popup menu, the timer and the message loop. The window mirrors the model both ways: a
// control the user changes is read into the model before its handler of TForm1 runs, and after
// every handler Sync() pushes what the handler changed back to the controls (comparing with
// what they show, so it is cheap). It is also the application object the core knows as the
// message pump (ProcessMessages, Terminate, Repaint) and as the window host (OpenMainWindow).
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/win32/control_view.h"
#include "app/win32/network_change_watch.h"
#include "app/win32/tray_icon.h"
#include "app/win32/view_channel_grid.h"
#include "app/win32/view_file_grid.h"
#include "app/win32/window_gdi.h"
#include "platform/message_pump.h"
#include "platform/win32/help_viewer_win32.h"
#include "platform/window_host.h"

namespace dova {

class MainWindow : public MessagePump, public WindowHost, private ControlHost {
 public:
  explicit MainWindow(Win32HelpViewer& help);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Builds the window, hidden, with every control of `form`'s design, the tray icon (shown),
  // the popup menu and Timer1 (counting from now). Throws dova::Error when the window cannot be
  // created or the shell refuses the tray icon.
  void Create(TForm1& form);
  HWND Handle() const { return window_; }
  // Shows the window at its designed place, in front.
  void Show();
  // Runs the message loop until Terminate() or the close box.
  void Run();
  // The form is about to be destroyed: events stop reaching it; Repaint still shows its model
  // while it saves. Detach() then drops it altogether.
  void BeginShutdown() { shuttingDown_ = true; }
  void Detach();
  // Runs when Windows ends the session (log-off, shut-down): the program must save now, as the
  // process ends when the message has been answered.
  std::function<void()> onEndSession;

  // MessagePump
  void ProcessMessages() override;
  void Terminate() override;
  void Repaint() override;
  // WindowHost
  void OpenMainWindow() override;

  // Pushes the model to the controls (see above).
  void Sync();

  // For tests: the window of a control by design name (pages and group boxes: their panel).
  HWND ControlWindow(const std::string& name) const;
  bool Terminated() const { return terminated_; }
  // True while a handler of the form runs (and maybe pumps messages).
  bool InHandler() const { return handlerDepth_ > 0; }
  TTrayIcon* Tray() { return tray_.get(); }
  HMENU PopupMenu() const { return menu_.Get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  bool OnNotify(const NMHDR& header, LRESULT& result);
  void OnActivate(WPARAM wParam);
  // The window moved to a monitor of another DPI (or was made on one): everything is laid out
  // anew for `dpi`, the window at `frame` when given.
  void ApplyDpi(UINT dpi, const RECT* frame);

  // Building (main_window_controls.cpp).
  void LoadPictures();
  void LoadScaledImages();  // the glyphs and marks at dpi_
  void CreateControls();
  void CreateMenu();
  void CreateTray();
  void CreateTooltips();
  HWND ParentWindow(const std::string& parentName) const;

  // Showing (main_window_sync.cpp).
  void SyncForm();
  void ShowPage(int index);

  // The loop (main_window_loop.cpp).
  void Pump(MSG& message);
  void OnKeyDown(const MSG& message);
  bool IsOwnWindow(HWND window) const;

  // ControlHost. Dispatch runs a handler of the form: the list's pending selection and scroll
  // position are read into the model first, an error escaping it goes to the error box, Sync()
  // follows.
  HWND FormWindow() const override { return window_; }
  HFONT Font() const override { return font_.Get(); }
  UINT Dpi() const override { return dpi_; }
  FormModel& Form() override { return form_->Form(); }
  AppContext& Context() override { return form_->Context(); }
  HIMAGELIST Glyphs() const override { return glyphs_.Get(); }
  HIMAGELIST Marks() const override { return marks_.Get(); }
  HBITMAP Banner() const override { return banner_.Get(); }
  HWND Tooltips() const override { return tooltips_; }
  RECT PageArea() const override;
  void Dispatch(const std::function<void()>& handler) override;
  TForm1& Handlers() override { return *form_; }
  void FocusChanged(HWND control, bool entered) override;
  void Resync() override { Sync(); }
  HWND Tabs() const override { return tabs_; }
  void AdoptTabs(HWND tabs) override;
  void AdoptPage(int index, HWND page) override;
  void AdoptStatusBar(HWND statusBar) override { status_ = statusBar; }
  void AdoptFileGrid(FileGridView* grid) override { fileGrid_ = grid; }
  void AdoptChannelGrid(ChannelGridView* grid) override { channelGrid_ = grid; }
  UINT SelectionMessage() const override;

  void ReadPendingState();
  const ControlView* ViewOfWindow(HWND window) const;
  std::string NameOfFocus() const;

  Win32HelpViewer& help_;
  TForm1* form_ = nullptr;
  HWND window_ = nullptr;
  UniqueFont font_;
  UINT dpi_ = kDesignDpi;
  std::vector<std::unique_ptr<ControlView>> views_;
  std::map<HWND, ControlView*> byWindow_;
  std::map<std::string, ControlView*> byName_;
  FileGridView* fileGrid_ = nullptr;        // owned by its view
  ChannelGridView* channelGrid_ = nullptr;  // owned by its view
  std::unique_ptr<TTrayIcon> tray_;
  std::unique_ptr<NetworkChangeWatch> networkWatch_;
  HWND tabs_ = nullptr, status_ = nullptr, tooltips_ = nullptr;
  std::vector<HWND> pages_;
  UniqueMenu menu_;
  std::vector<std::string> menuNames_;  // by command id - kMenuIdBase
  UniqueImageList glyphs_, marks_, trayIcons_;
  UniqueBitmap banner_;
  UniqueIcon appIcon_, appIconSmall_;
  HWND lastFocus_ = nullptr;

  // What the window shows of the form-wide model, for Sync's comparisons.
  std::wstring shownCaption_;
  std::string shownStatus_;
  int shownPage_ = -1;
  std::vector<std::string> shownMenu_;

  int syncDepth_ = 0;
  int handlerDepth_ = 0;
  bool selectionUnreported_ = false;
  bool terminated_ = false;
  bool shuttingDown_ = false;
  UINT openRequest_ = 0;
};

}  // namespace dova
