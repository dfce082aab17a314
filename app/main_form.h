// The main window `Form1` without its pixels: construction with the program's directories, the
// start-up sequence, the event handlers the design binds to the controls, the tray and the
// timer, and the save sequence at destruction. The Win32 view creates one, mirrors its
// FormModel on the screen and calls the handlers below; every handler shows an error that
// escapes it in the standard error box and the program goes on.
#pragma once

#include <memory>
#include <string>

#include "app/scheduler.h"
#include "form/app_context.h"
#include "form/settings_store.h"

namespace dova {

enum class MouseButton { Left, Right, Middle };

class TForm1 {
 public:
  // Construction: directories from the executable's path, WindowClosed, ScreenAspect, the random
  // seed, the journal opened on DataDir + "dova.log".
  TForm1(const Platform& platform, const std::string& executablePath,
         const std::string& commandLineArgs);
  // The save sequence (when FormDestroy has not run yet), then the "finish" line.
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  AppContext& Context() { return context_; }
  FormModel& Form() { return context_.form; }

  // The start-up sequence, once, right after construction: channels, languages, settings,
  // journal lines, picture list, the start-with-Windows box, show-or-hide, enabled states, the
  // change at start-up.
  void FormCreate();
  // Whether the message loop shows the window when it starts (decided by FormCreate).
  bool ShowAtStart() const { return showAtStart_; }
  // The close box: sets WindowClosed; the view then ends the message loop.
  void FormClose();
  // The save sequence: channels and settings to dova.ini, the list to dova.lst. Runs once.
  void FormDestroy();

  // Events of the controls, by design name. Clicks of check boxes, radio buttons, speed buttons
  // and Image1; focus entering and leaving a control; a drop-down list's new choice.
  void ControlClicked(const std::string& name);
  void ControlEntered(const std::string& name);
  void ControlExited(const std::string& name);
  void ComboBoxChanged(const std::string& name);
  // FileGrid: selection changed by the user (click, keys, wheel), double click.
  void FileGridSelectionChanged();
  void FileGridDblClick();
  // StringGrid1: the user selected `row` / double-clicked it.
  void StringGrid1Click(int row);
  void StringGrid1DblClick(int row);
  // A tray menu item, by design name: its command (form/commands.h).
  void MenuCommand(const std::string& item);
  // A button released over the tray icon.
  void TrayIcon1MouseUp(MouseButton button);
  // Keys reach the form before its controls. F1 uses the focused control (Form().activeControl).
  void FormKeyDown(int key, ShiftState shift);
  // Timer1, every 60000 ms.
  void Timer1Timer();
  // The machine resumed from sleep (WM_POWERBROADCAST).
  void Resumed();
  // The system reported a change of the network's addresses.
  void NetworkChanged();
  // The screens were plugged, unplugged, resized or arranged anew (the window debounces the
  // system's notices): the pictures shown are laid out again for them.
  void ScreensChanged();

 private:
  template <typename Action>
  void Guarded(Action action);
  // An event's handler: Guarded, then the enabled states brought up to date, as after every
  // event whatever the handler changed.
  template <typename Action>
  void Handle(Action action);
  // A click of CheckBox8 changes the user's start-up entry.
  void CheckBox8Click();

  AppContext context_;
  Scheduler scheduler_;     // Timer1
  SettingsStore settings_;  // remembers stored texts that did not convert
  bool showAtStart_ = false;
  bool created_ = false;
  bool destroyed_ = false;
};

}  // namespace dova
