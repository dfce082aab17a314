// One control of the form's design on the screen. Each kind of control has its view: it makes
// the control's window, shows the model (pushing only what differs from what the control shows
// now, so Sync is cheap), and turns the control's notifications into the model's state and the
// form's events. The main window owns the views and is their ControlHost.
#pragma once

#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "app/win32/dpi.h"
#include "form/form_model.h"

namespace dova {

class AppContext;
class ChannelGridView;
class FileGridView;
class TForm1;

// What the views need of the main window.
class ControlHost {
 public:
  virtual ~ControlHost() = default;
  virtual HWND FormWindow() const = 0;
  virtual HFONT Font() const = 0;
  // The form's DPI now; design units (96 DPI) scaled to it.
  virtual UINT Dpi() const = 0;
  int Scale(int designUnits) const { return ScaleToDpi(designUnits, Dpi()); }
  virtual FormModel& Form() = 0;
  virtual AppContext& Context() = 0;
  virtual HIMAGELIST Glyphs() const = 0;  // the list buttons' glyphs, normal and greyed
  virtual HIMAGELIST Marks() const = 0;   // ImageList1: the channel marks
  virtual HBITMAP Banner() const = 0;
  virtual HWND Tooltips() const = 0;
  // The pages' area on the form, below the tabs.
  virtual RECT PageArea() const = 0;
  // Runs a handler of the form as an event: the model's pending state first, the error box
  // for what escapes it, a Sync after it.
  virtual void Dispatch(const std::function<void()>& handler) = 0;
  virtual TForm1& Handlers() = 0;
  // The keyboard focus entered or left `control`.
  virtual void FocusChanged(HWND control, bool entered) = 0;
  // Shows the model again (after the user did something the model refuses).
  virtual void Resync() = 0;
  virtual HWND Tabs() const = 0;
  // The windows the main window keeps for itself.
  virtual void AdoptTabs(HWND tabs) = 0;
  virtual void AdoptPage(int index, HWND page) = 0;
  virtual void AdoptStatusBar(HWND statusBar) = 0;
  virtual void AdoptFileGrid(FileGridView* grid) = 0;
  virtual void AdoptChannelGrid(ChannelGridView* grid) = 0;
  // The message the picture list posts to the form window when its selection changed.
  virtual UINT SelectionMessage() const = 0;
};

class ControlView {
 public:
  ControlView(Control& model, int id) : model_(model), id_(id) {}
  virtual ~ControlView() = default;
  ControlView(const ControlView&) = delete;
  ControlView& operator=(const ControlView&) = delete;

  Control& Model() const { return model_; }
  // The control's window; for pages and group boxes their panel.
  HWND Window() const { return window_; }
  int Id() const { return id_; }

  // Makes the control's window in `parent`. Throws dova::Error when Windows refuses.
  void Create(ControlHost& host, HWND parent);
  // Pushes what the model holds and the control does not show yet; everything the first time.
  void Sync(ControlHost& host);
  // A WM_COMMAND notification `code` of the control. `user` is false while the program itself
  // changes the control (inside Sync), which is no event.
  virtual void Command(ControlHost& host, int code, bool user);
  // Gives the control its tooltip, when it has a hint to show.
  virtual void AttachTooltip(HWND) {}
  // The form's DPI changed: the control takes the new font and is placed anew by the next Sync.
  virtual void Rescale(ControlHost& host);

 protected:
  virtual HWND CreateWindowIn(ControlHost& host, HWND parent, const RECT& place) = 0;
  // The kind's own properties: captions, checks, items, texts.
  virtual void SyncContent(ControlHost& host, bool fresh) = 0;
  // The place in the parent, in pixels at the host's DPI.
  virtual RECT Place(ControlHost& host) const;
  // Which of the common properties the window follows.
  virtual bool FollowsEnabled() const { return true; }
  virtual bool FollowsVisibleAndPlace() const { return true; }
  // A control is made at its place; only one whose size follows its text moves at once.
  virtual bool MovesOnFirstSync() const { return false; }

  // Reports a focus change for the notification codes `setFocus` / `killFocus`; true when
  // `code` was one of them.
  bool ReportFocus(ControlHost& host, int code, int setFocus, int killFocus);
  // Makes a child control of a Unicode window class at `place` with no text.
  HWND MakeChild(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& place,
                 HWND parent) const;

  Control& model_;
  const int id_;
  HWND window_ = nullptr;

 private:
  bool fresh_ = true;
  bool enabled_ = true;
  bool visible_ = true;
  RECT place_{};
};

// The view for `model`'s kind, with the control id `id`.
std::unique_ptr<ControlView> MakeControlView(Control& model, int id);

// The width of `text` in the window's font.
int CaptionWidth(HWND window, const std::wstring& text);

}  // namespace dova
