// The HTTP fetcher's view of the main window: the connection tab's controls read when a run
// asks, the message pump, the closed-window flag, the status bar and the phrases of
// one AppContext. The daily update makes one per run.
#pragma once

#include <string>

#include "form/app_context.h"
#include "online/http_fetcher.h"

namespace dova {

class FormFetchHost : public FetchHost {
 public:
  explicit FormFetchHost(AppContext& context) : context_(context) {}

  // CheckBox4 use a proxy, Edit1 server, Edit2 port, CheckBox5 login needed, Edit3 login,
  // Edit4 password, CheckBox6 limit the speed, ComboBox4 the speed's text, ComboBox3 the
  // maximum size's text ("" when nothing is chosen).
  ConnectionSettings Settings() override;
  void ProcessMessages() override;
  bool WindowClosed() override;
  void Terminate() override;
  // Sets the status bar's text; nothing is logged.
  void ShowProgress(const std::string& statusText) override;
  std::string Phrase(const std::string& key) override;
  // The platform's clock: its steady milliseconds and its sleep.
  Clock& TransferClock() override;

 private:
  AppContext& context_;
};

}  // namespace dova
