#include "online/form_fetch_host.h"

#include "text/number_text.h"
#include "platform/error.h"

namespace dova {

ConnectionSettings FormFetchHost::Settings() {
  const FormModel& form = context_.form;
  ConnectionSettings settings;
  settings.useProxy = form.CheckBox4.checked;
  settings.proxyServer = form.Edit1.text;
  settings.proxyPort = form.Edit2.text;
  settings.proxyNeedsLogin = form.CheckBox5.checked;
  settings.login = form.Edit3.text;
  settings.password = form.Edit4.text;
  settings.limitSpeed = form.CheckBox6.checked;
  settings.speed = form.ComboBox4.Text();
  return settings;
}

void FormFetchHost::ProcessMessages() { context_.platform.pump.ProcessMessages(); }

bool FormFetchHost::WindowClosed() { return context_.WindowClosed; }

void FormFetchHost::Terminate() { context_.platform.pump.Terminate(); }

void FormFetchHost::ShowProgress(const std::string& statusText) { context_.SetStatus(statusText); }

std::string FormFetchHost::Phrase(const std::string& key) { return context_.Phrase(key); }

Clock& FormFetchHost::TransferClock() { return context_.platform.clock; }

long long MaximumPictureBytes(const FormModel& form) {
  const long long kilobytes = ReadDecimalInteger(form.ComboBox3.Text());
  if (kilobytes == 0) return 1073741824LL;
  // The list holds positive sizes only; a negative one could only come from a damaged design.
  if (kilobytes < 0) throw Error("'" + form.ComboBox3.Text() + "' is not a valid file size");
  return kilobytes * 1024;
}

}  // namespace dova
