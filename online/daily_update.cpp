#include "online/daily_update.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "form/channel_grid.h"
#include "form/wallpaper_change.h"
#include "online/form_fetch_host.h"
#include "online/http_fetcher.h"
#include "online/picture_response.h"
#include "text/number_text.h"
#include "platform/file_system.h"
#include "wallpaper/wallpaper_installer.h"

namespace dova {

namespace {

// The page and the HEAD answer are small; the fetcher keeps less than this.
constexpr long long kTextLimit = 16384;

enum class Step { Go, Ended, Failed };

class DailyUpdateRun {
 public:
  DailyUpdateRun(AppContext& context, bool force, const std::string& wpUrl)
      : c_(context),
        force_(force),
        wpUrl_(wpUrl),
        host_(context),
        useProxy_(context.form.CheckBox4.checked) {}

  void Run();

 private:
  Step FetchPictureAddress();
  Step CheckSize();
  Step Download();

  // Status text, written to the journal at `level`.
  void Report(const std::string& status, LogLevel level) {
    c_.SetStatus(status);
    c_.LogStatus(level);
  }
  void LogError(const std::string& text) { c_.log.Write(LogLevel::Error, text); }
  std::string Phrase(const char* key) const { return c_.Phrase(key); }

  AppContext& c_;
  const bool force_;
  const std::string wpUrl_;  // a copy: a click during the transfers may change the current mark
  FormFetchHost host_;
  const bool useProxy_;    // read once: it holds for every request of the run
  std::string candidate_;  // the picture's address
  long long maximum_ = 0;  // the picture's byte limit
};

void DailyUpdateRun::Run() {
  c_.log.Write(LogLevel::Notice, "URL: " + wpUrl_);
  std::string host, path;
  SplitHttpUrl(wpUrl_, host, path);
  Report(Phrase("connectingto") + " " + host, LogLevel::Notice);
  c_.SetTrayIcon(1);

  bool failed = false;
  try {
    Step step = FetchPictureAddress();
    if (step == Step::Ended) return;
    if (step == Step::Go) step = CheckSize();
    if (step == Step::Go) step = Download();
    failed = step == Step::Failed;
  } catch (const std::exception&) {
    // Unreadable settings (proxy port, maximum size, speed), an unreadable size, a file that
    // cannot be rewritten.
    LogError(Phrase("errorgetingfile"));
    failed = true;
  }

  c_.SetTrayIcon(2);
  if (failed)
    Report(Phrase("waserror"), LogLevel::Notice);
  else
    InstallDownloadedPicture(c_);
  c_.SetTrayIcon(3);
}

Step DailyUpdateRun::FetchPictureAddress() {
  const HttpRequest request = BuildHttpRequest(host_, "GET ", wpUrl_, useProxy_);
  const std::string page = SendRequestForText(
      host_, request.endpoint.connectHost, request.endpoint.connectPort, request.text, kTextLimit);
  if (page == kConnectFailedText || page == kSocketFailedText) {
    Report(Phrase("connecterror"), LogLevel::Error);
    c_.SetTrayIcon(2);
    return Step::Ended;
  }

  std::string candidate;
  const bool oneLine = ReadPictureAddress(page, candidate) == PageVerdict::Address;
  if (oneLine && candidate == c_.CurrentWallpaper && !force_) {
    c_.SetTrayIcon(3);
    Report(Phrase("dontneedupdate"), LogLevel::Notice);
    return Step::Ended;
  }
  // Error texts ("Not Found") and addresses that would split the request are no picture.
  if (!oneLine || !IsRequestableAddress(candidate)) {
    Report(Phrase("unknowhttpcode"), LogLevel::Error);
    c_.SetTrayIcon(2);
    return Step::Ended;
  }
  // Taken before the download: a picture that fails is not tried again by unforced runs.
  c_.CurrentWallpaper = candidate;
  candidate_ = candidate;
  return Step::Go;
}

Step DailyUpdateRun::CheckSize() {
  const HttpRequest request = BuildHttpRequest(host_, "HEAD ", candidate_, useProxy_);
  const std::string answer = SendRequestForText(
      host_, request.endpoint.connectHost, request.endpoint.connectPort, request.text, kTextLimit);
  maximum_ = MaximumPictureBytes(c_.form);
  std::string valueText;
  if (!FindContentLength(answer, valueText)) {
    c_.log.Write(LogLevel::Notice, Phrase("errorimagesize"));
    return Step::Go;
  }
  if (ReadDecimalLong(valueText) > maximum_) {
    LogError(Phrase("errorimagesize1") + valueText + " " + Phrase("errorimagesize2") +
             std::to_string(maximum_) + Phrase("errorimagesize3"));
    return Step::Failed;
  }
  return Step::Go;
}

Step DailyUpdateRun::Download() {
  const HttpRequest request = BuildHttpRequest(host_, "GET ", candidate_, useProxy_);
  Report(Phrase("downloadingimage") + request.endpoint.target, LogLevel::Notice);

  const std::string tempPath = c_.DataDir + "temp.jpg";
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(tempPath, "wb"), &std::fclose);
  if (!file) {
    LogError(Phrase("createerror") + " " + tempPath);
    return Step::Failed;
  }
  int httpStatus = 0;
  const int result =
      SendRequestToFile(host_, request.endpoint.connectHost, request.endpoint.connectPort,
                        request.text, maximum_, file.get(), &httpStatus);
  const bool closed = std::fclose(file.release()) == 0;

  // Only a complete success answer is a picture: an error page, a cut transfer or a file that
  // could not be written never reaches the decoder.
  if (result == static_cast<int>(FetchResult::ConnectFailed)) {
    LogError(Phrase("connecterror"));
    return Step::Failed;
  }
  if (result != 0 || !closed) {
    LogError(Phrase("errorgetingfile"));
    return Step::Failed;
  }
  if (httpStatus < 200 || httpStatus > 299) {
    LogError(Phrase("errorgetingfile") +
             (httpStatus ? " (HTTP " + std::to_string(httpStatus) + ")" : std::string()));
    return Step::Failed;
  }
  if (StripHttpHeader(tempPath) != StripResult::Stripped) {
    LogError(Phrase("errorgetingfile"));
    return Step::Failed;
  }
  return Step::Go;
}

// Without a current channel there is no page to ask. The phrase table has no text of its own
// for this, so the report is made of the failure phrase and the channel list's title.
void ReportNoChannel(AppContext& context) {
  context.SetStatus(context.Phrase("waserror") + " (" + context.Phrase("chanels") + ": -)");
  context.LogStatus(LogLevel::Error);
  context.SetTrayIcon(3);
}

}  // namespace

void DailyPictureUpdate(AppContext& context, bool force) {
  ChangeGuard guard(context);
  if (!guard.Acquired()) return;
  const Channel* channel = context.channels.CurrentChannel();
  if (!channel) {
    ReportNoChannel(context);
    return;
  }
  DailyUpdateRun(context, force, channel->WpUrl).Run();
}

void InstallDownloadedPicture(AppContext& context) {
  const std::string tempPath = context.DataDir + "temp.jpg";
  WallpaperChangeTexts texts;
  texts.converting = context.Phrase("convertingimage");
  texts.updating = context.Phrase("updatedesktop");
  // A vanished temp.jpg is reported by the change; the current wallpaper and its file stay.
  ChangeWallpaper(context, tempPath, texts, [&tempPath] { RemoveFile(tempPath); });
}

void StringGrid1DblClick(AppContext& context, int row) {
  StringGrid1Click(context, row);
  DailyPictureUpdate(context, true);
}

}  // namespace dova
