#include "online/daily_update.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "form/channel_grid.h"
#include "form/picture_caption.h"
#include "form/picture_history.h"
#include "form/wallpaper_change.h"
#include "online/channel_page.h"
#include "online/form_fetch_host.h"
#include "online/http_fetcher.h"
#include "online/picture_response.h"
#include "online/web_address.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/screen.h"
#include "text/number_text.h"
#include "wallpaper/wallpaper_installer.h"

namespace dova {

namespace {

// The HEAD answer is small; the fetcher keeps less than this.
constexpr long long kTextLimit = 16384;

enum class Step { Go, Ended, Failed };

class DailyUpdateRun {
 public:
  DailyUpdateRun(AppContext& context, bool force, const Channel& channel)
      : c_(context),
        force_(force),
        channel_(channel),
        host_(context),
        settings_(host_.Settings()) {}

  DailyUpdateOutcome Run();

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
  // Ends the run before the picture: the status, the tray's state (2 failed, 3 done) and what the
  // run comes to.
  Step EndWith(const std::string& status, LogLevel level, int trayIcon,
               DailyUpdateOutcome outcome = DailyUpdateOutcome::Failed) {
    Report(status, level);
    c_.SetTrayIcon(trayIcon);
    outcome_ = outcome;
    return Step::Ended;
  }
  // A failure the fetcher names (a certificate, the proxy's login, a redirect) ends the run as a
  // failed connection does: its phrase in the status bar, with the system's words in the journal.
  Step ReportFailure(FetchFailure failure, const std::string& detail) {
    c_.SetStatus(FailurePhrase(failure));
    LogError(c_.form.statusText + (detail.empty() ? std::string() : " (" + detail + ")"));
    c_.SetTrayIcon(2);
    return Step::Ended;
  }
  std::string Phrase(const char* key) const { return c_.Phrase(key); }
  std::string FailurePhrase(FetchFailure failure) const;

  AppContext& c_;
  const bool force_;
  const Channel channel_;  // a copy: a click during the transfers may change the current mark
  ChannelRules rules_;
  std::string pageUrl_;  // WPURL with today's date
  FormFetchHost host_;
  const ConnectionSettings settings_;   // read once: they hold for every request of the run
  std::vector<std::string> pictures_;   // the addresses the page gives, best first
  std::string caption_;                 // and what the picture shows
  std::string candidate_;               // the picture's address
  long long maximum_ = 0;               // the picture's byte limit
  std::optional<long long> announced_;  // its size as the HEAD answer gave it
  DailyUpdateOutcome outcome_ = DailyUpdateOutcome::Failed;  // of a run that ends early
};

DailyUpdateOutcome DailyUpdateRun::Run() {
  pageUrl_ = TodaysPageAddress(channel_, c_.platform.clock.UtcNow());
  c_.log.Write(LogLevel::Notice, "URL: " + pageUrl_);
  std::string problem;
  const std::optional<ChannelRules> rules =
      ReadChannelRules(channel_.Picture, channel_.Suffix, channel_.Caption, problem);
  if (!rules) {
    Report(Phrase("channelrule") + " " + problem, LogLevel::Error);
    c_.SetTrayIcon(2);
    return DailyUpdateOutcome::Failed;
  }
  rules_ = *rules;
  const ScreenSize screen = c_.platform.screen.Size();
  for (std::string& suffix : rules_.suffixes)
    suffix = ExpandScreenFields(suffix, screen.width, screen.height);
  Report(Phrase("connectingto") + " " + ReadWebAddress(pageUrl_).host, LogLevel::Notice);
  c_.SetTrayIcon(1);

  const std::string takenBefore = c_.CurrentWallpaper;
  bool failed = false;
  try {
    Step step = FetchPictureAddress();
    if (step == Step::Go) step = CheckSize();
    if (step == Step::Go) step = Download();
    if (step == Step::Ended) return outcome_;
    failed = step == Step::Failed;
  } catch (const std::exception&) {
    // Unreadable settings (proxy port, maximum size, speed), an unreadable size, a file that
    // cannot be rewritten.
    LogError(Phrase("errorgetingfile"));
    failed = true;
  }

  c_.SetTrayIcon(2);
  bool installed = false;
  if (failed)
    Report(Phrase("waserror"), LogLevel::Notice);
  else if (const ChangeOutcome outcome = InstallDownloadedPicture(c_);
           outcome == ChangeOutcome::Changed) {
    installed = true;
    ShowPictureCaption(c_, caption_);
  } else if (outcome == ChangeOutcome::DesktopRefused) {
    c_.CurrentWallpaper = takenBefore;  // the picture came whole: the next run may try again
  }
  c_.SetTrayIcon(3);
  return installed ? DailyUpdateOutcome::Installed : DailyUpdateOutcome::Failed;
}

std::string DailyUpdateRun::FailurePhrase(FetchFailure failure) const {
  switch (failure) {
    case FetchFailure::None:
      break;
    case FetchFailure::ProxyLogin:
      return Phrase("proxyloginfailed");
    case FetchFailure::TlsFailed:
      return Phrase("tlsfailed");
    case FetchFailure::CertificateNotTrusted:
      return Phrase("certnottrusted");
    case FetchFailure::CertificateExpired:
      return Phrase("certexpired");
    case FetchFailure::CertificateWrongName:
      return Phrase("certwrongname");
    case FetchFailure::CertificateRevoked:
      return Phrase("certrevoked");
    case FetchFailure::CertificateNotForServers:
      return Phrase("certnotforservers");
    case FetchFailure::TooManyRedirects:
      return Phrase("toomanyredirects");
    case FetchFailure::RedirectToHttp:
      return Phrase("redirecttohttp");
  }
  return Phrase("connecterror");
}

Step DailyUpdateRun::FetchPictureAddress() {
  const TextResponse answer =
      FetchText(host_, settings_, "GET ", pageUrl_, PageAnswerLimit(rules_));
  if (answer.failure != FetchFailure::None) return ReportFailure(answer.failure, answer.detail);
  if (answer.result != FetchResult::Success)
    return EndWith(Phrase("connecterror"), LogLevel::Error, 2,
                   answer.result == FetchResult::ConnectFailed ? DailyUpdateOutcome::ConnectFailed
                                                               : DailyUpdateOutcome::Failed);

  // Addresses on the page are read against where it finally came from, after redirects.
  const ChannelPage page = ReadChannelPage(
      rules_, answer.text, answer.finalAddress.empty() ? pageUrl_ : answer.finalAddress);
  const auto& found = page.pictures;
  if (!force_ && std::find(found.begin(), found.end(), c_.CurrentWallpaper) != found.end())
    return EndWith(Phrase("dontneedupdate"), LogLevel::Notice, 3, DailyUpdateOutcome::Unchanged);
  // A video day, a day whose picture is not meant for the desktop: nothing is wrong.
  if (page.outcome == PageOutcome::NoPictureToday)
    return EndWith(Phrase("nopicturetoday") + " (" + page.detail + ")", LogLevel::Notice, 3,
                   DailyUpdateOutcome::NoPicture);
  // Error texts ("Not Found") and addresses that would split the request are no picture.
  if (page.outcome != PageOutcome::Picture)
    return EndWith(
        Phrase("unknowhttpcode") + (page.detail.empty() ? "" : " (" + page.detail + ")"),
        LogLevel::Error, 2);
  // Taken before the download: a picture that fails is not tried again by unforced runs.
  c_.CurrentWallpaper = found.front();
  pictures_ = found;
  caption_ = page.caption;
  return Step::Go;
}

// The first of the page's addresses whose size passes: a smaller one (a thumbnail, a smaller
// size of the same picture) may follow one that is too large.
Step DailyUpdateRun::CheckSize() {
  for (const std::string& picture : pictures_) {
    candidate_ = picture;
    const TextResponse answer = FetchText(host_, settings_, "HEAD ", candidate_, kTextLimit);
    if (answer.failure != FetchFailure::None) return ReportFailure(answer.failure, answer.detail);
    // A size the service does not have ("404 Not Found") gives way to the next address; the
    // last one goes on to its download, which reports what the server says.
    const int status = ParseHttpStatus(answer.text);
    if ((status < 200 || status > 299) && &picture != &pictures_.back()) {
      c_.log.Write(LogLevel::Notice, "HTTP " + std::to_string(status) + ": " + candidate_);
      continue;
    }
    maximum_ = MaximumPictureBytes(settings_);
    const std::optional<ContentLength> length = ReadContentLength(answer.text);
    if (!length) {
      c_.log.Write(LogLevel::Notice, Phrase("errorimagesize"));
      announced_.reset();
    } else {
      if (!length->bytes) throw Error(NotAnIntegerMessage(length->text));
      announced_ = length->bytes;
      if (*announced_ > maximum_) {
        LogError(Phrase("errorimagesize1") + length->text + " " + Phrase("errorimagesize2") +
                 std::to_string(maximum_) + Phrase("errorimagesize3"));
        continue;
      }
    }
    c_.CurrentWallpaper = candidate_;
    return Step::Go;
  }
  return Step::Failed;
}

Step DailyUpdateRun::Download() {
  const HttpRequest request = BuildHttpRequest(settings_, "GET ", candidate_);
  Report(Phrase("downloadingimage") + request.endpoint.target, LogLevel::Notice);

  const std::string tempPath = c_.DataDir + "temp.jpg";
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(tempPath, "wb"), &std::fclose);
  if (!file) {
    LogError(Phrase("createerror") + " " + tempPath);
    return Step::Failed;
  }
  const FileResponse response = FetchToFile(host_, settings_, candidate_, maximum_, file.get());
  const bool closed = std::fclose(file.release()) == 0;
  if (response.failure != FetchFailure::None)
    return ReportFailure(response.failure, response.detail);

  // Only a complete success answer is a picture: an error page, a cut transfer or a file that
  // could not be written never reaches the decoder.
  if (response.result == FetchResult::ConnectFailed) {
    LogError(Phrase("connecterror"));
    return Step::Failed;
  }
  // A picture larger than the limit was cut: only a whole picture may reach the decoder.
  if (response.result != FetchResult::Success || !closed || response.cutAtLimit) {
    LogError(Phrase("errorgetingfile"));
    return Step::Failed;
  }
  if (response.httpStatus < 200 || response.httpStatus > 299) {
    LogError(Phrase("errorgetingfile") +
             (response.httpStatus ? " (HTTP " + std::to_string(response.httpStatus) + ")"
                                  : std::string()));
    return Step::Failed;
  }
  std::string header;
  long long bodyBytes = 0;
  if (StripHttpHeader(tempPath, &header, &bodyBytes) != StripResult::Stripped) {
    LogError(Phrase("errorgetingfile"));
    return Step::Failed;
  }
  // The body must be the picture, all of it: not chunks or a compressed stream, and as long as
  // the answer (or else the HEAD answer) announced; a connection that closed early is no picture.
  const PictureHeader info = ReadPictureHeader(header);
  const std::optional<long long> expected = info.contentLength ? info.contentLength : announced_;
  if (info.encoded || (expected && bodyBytes != *expected)) {
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

DailyUpdateOutcome DailyPictureUpdate(AppContext& context, bool force) {
  ChangeGuard guard(context);
  if (!guard.Acquired()) return DailyUpdateOutcome::Busy;
  const Channel* channel = context.channels.CurrentChannel();
  if (!channel) {
    ReportNoChannel(context);
    return DailyUpdateOutcome::Failed;
  }
  return DailyUpdateRun(context, force, *channel).Run();
}

ChangeOutcome InstallDownloadedPicture(AppContext& context) {
  const std::string tempPath = context.DataDir + "temp.jpg";
  WallpaperChangeTexts texts;
  texts.converting = context.Phrase("convertingimage");
  texts.updating = context.Phrase("updatedesktop");
  // A vanished temp.jpg is reported by the change; the current wallpaper and its file stay.
  // The download is kept under a name of its own, for "Previous picture", instead of deleted.
  return ChangeWallpaper(context, tempPath, texts, [&] {
    RememberPicture(context, KeepDownloadedPicture(context, tempPath));
  });
}

void StringGrid1DblClick(AppContext& context, int row) {
  StringGrid1Click(context, row);
  DailyPictureUpdate(context, true);
}

}  // namespace dova
