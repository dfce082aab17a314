// The main window as the core sees it from a tray command: open it in front of the user.
#pragma once

namespace dova {

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // Shows the window when hidden, restores the application from its minimized state, gives the
  // window the input focus and brings it to the foreground (SetForegroundWindow).
  virtual void OpenMainWindow() = 0;
};

}  // namespace dova
