#include "form/picture_history.h"

#include <algorithm>

#include "form/wallpaper_change.h"
#include "platform/file_system.h"

namespace dova {

namespace {

// The names a kept download takes, n from 1 to kRecentPictures + 1: one more than can be
// remembered, so that a new download always finds a free one.
std::string KeptName(const AppContext& context, int n) {
  return context.DataDir + "previous" + std::to_string(n) + ".jpg";
}

// Only the names the program gives: a user's own "previous_trip.jpg" beside them is not ours.
bool IsKeptDownload(const AppContext& context, const std::string& path) {
  for (int n = 1; n <= kRecentPictures + 1; ++n)
    if (path == KeptName(context, n)) return true;
  return false;
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
    const std::string name = KeptName(context, n);
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
