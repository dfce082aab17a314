#include "form/picture_history.h"

#include <algorithm>

#include "form/wallpaper_change.h"
#include "platform/file_system.h"

namespace dova {

namespace {

const char kKeptPrefix[] = "previous";

bool IsKeptDownload(const AppContext& context, const std::string& path) {
  const std::string prefix = context.DataDir + kKeptPrefix;
  return path.compare(0, prefix.size(), prefix) == 0;
}

// Deletes the kept downloads among `dropped` that `recent` no longer names.
void ForgetPictures(AppContext& context, const std::vector<std::string>& dropped) {
  const std::vector<std::string>& recent = context.RecentPictures;
  for (const std::string& path : dropped)
    if (IsKeptDownload(context, path) &&
        std::find(recent.begin(), recent.end(), path) == recent.end())
      RemoveFile(path);
}

}  // namespace

void RememberPicture(AppContext& context, const std::string& source) {
  if (source.empty()) return;
  std::vector<std::string>& recent = context.RecentPictures;
  std::vector<std::string> dropped;
  // The same picture twice in a row is one step back, not two.
  if (!recent.empty() && recent.front() == source) return;
  recent.insert(recent.begin(), source);
  while (static_cast<int>(recent.size()) > kRecentPictures) {
    dropped.push_back(recent.back());
    recent.pop_back();
  }
  ForgetPictures(context, dropped);
}

std::string KeepDownloadedPicture(AppContext& context, const std::string& downloaded) {
  const std::vector<std::string>& recent = context.RecentPictures;
  for (int n = 1; n <= kRecentPictures + 1; ++n) {
    const std::string name = context.DataDir + kKeptPrefix + std::to_string(n) + ".jpg";
    if (std::find(recent.begin(), recent.end(), name) != recent.end()) continue;
    RemoveFile(name);  // a leftover of a run that ended early
    if (RenameFile(downloaded, name)) return name;
    break;
  }
  RemoveFile(downloaded);
  return std::string();
}

bool CanShowPreviousPicture(const AppContext& context) {
  return context.RecentPictures.size() >= 2;
}

void ShowPreviousPicture(AppContext& context) {
  ChangeGuard guard(context);
  if (!guard.Acquired() || !CanShowPreviousPicture(context)) return;
  std::vector<std::string>& recent = context.RecentPictures;
  const std::string source = recent[1];
  context.SetTrayIcon(2);
  WallpaperChangeTexts texts;
  texts.converting = context.Phrase("convertingimage") + " " + source;
  texts.updating = context.Phrase("updatingdesktop");
  texts.logUpdating = true;
  const ChangeOutcome outcome = ChangeWallpaper(context, source, texts, [] {});
  if (outcome == ChangeOutcome::DesktopRefused) {
    context.SetTrayIcon(3);
    return;  // nothing changed: the history stays as it was
  }
  // Shown again, or gone for good: either way the picture shown until now (or the one that
  // could not be found) is no longer a step back.
  const std::string forgotten = outcome == ChangeOutcome::Changed ? recent.front() : source;
  recent.erase(std::find(recent.begin(), recent.end(), forgotten));
  ForgetPictures(context, {forgotten});
  context.SetTrayIcon(3);
}

}  // namespace dova
