// The HTTP fetcher's view of the main window: the connection tab's controls read at the moment
// the fetcher asks, the message pump, the closed-window flag, the status bar and the phrases of
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
  // Edit4 password, CheckBox6 limit the speed, ComboBox4 the speed's text ("" when none chosen).
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

// The picture's byte limit: the maximum file size list (ComboBox3, kilobytes) times 1024, where
// 0 stands for 1073741824 bytes. Throws dova::Error when nothing is chosen or the text is not a
// decimal number.
long long MaximumPictureBytes(const FormModel& form);

}  // namespace dova
