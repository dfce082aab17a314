// The operating-system services the core uses, handed to the main window at construction.
// Files, INI access, sockets and the clock are used directly through their own headers;
// everything that needs the window lives behind these interfaces.
#pragma once

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/error_box.h"
#include "platform/help_viewer.h"
#include "platform/message_pump.h"
#include "platform/screen.h"
#include "platform/startup_entries.h"
#include "platform/text_measure.h"
#include "platform/window_host.h"

namespace dova {

struct Platform {
  Clock& clock;
  Screen& screen;
  MessagePump& pump;
  ErrorBox& errors;
  TextMeasure& text;
  Dialogs& dialogs;
  HelpViewer& help;
  Desktop& desktop;
  WindowHost& window;
  StartupEntries& startup;
};

}  // namespace dova
