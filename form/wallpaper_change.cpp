#include "form/wallpaper_change.h"

#include <chrono>
#include <future>

#include "form/picture_caption.h"
#include "form/resize_mode_setting.h"
#include "form/screens_setting.h"
#include "platform/file_system.h"
#include "platform/monitor_wallpaper.h"
#include "wallpaper/composed_wallpaper.h"

namespace dova {

ConvertOptions CurrentConvertOptions(AppContext& context) {
  ConvertOptions options;
  options.mode = ResizeModeForChange(context.form);
  options.screen = context.platform.screen.Size();
  options.filterIndex = context.form.ComboBox5.itemIndex;
  options.fitColour = context.form.ColorButton1.color;
  return options;
}

bool ConvertBesideTheWindow(AppContext& context, const std::string& source,
                            const std::string& target, const ConvertOptions& options) {
  CancelFlag closing{false};
  ConvertOptions stoppable = options;
  stoppable.cancel = &closing;
  std::future<bool> conversion = std::async(std::launch::async, [&source, &target, &stoppable] {
    return ConvertPicture(source, target, stoppable);
  });
  // The window is served as during the transfers, and a second change that arrives meanwhile is
  // refused by its guard. A closed window stops the conversion, which leaves no bitmap behind,
  // and asks the loop to end: the program does not wait for a large picture on its way out.
  while (conversion.wait_for(std::chrono::milliseconds(kServeEveryMs)) !=
         std::future_status::ready) {
    context.platform.pump.ProcessMessages();
    if (context.WindowClosed) {
      closing = true;
      context.platform.pump.Terminate();
    }
  }
  return conversion.get();
}

WallpaperPosition PositionForMode(ResizeMode mode) {
  return mode == ResizeMode::None ? WallpaperPosition::Centre : WallpaperPosition::Stretch;
}

namespace {

// The pictures go on the screens: one bitmap, for one screen or composed for several.
struct ScreensPlan {
  std::vector<MonitorArea> monitors;
  ScreensMode mode = ScreensMode::Same;
  std::vector<std::string> perMonitor;  // the source of each monitor, in their order
  bool composed = false;
};

ScreensPlan PlanScreens(AppContext& context, const std::vector<std::string>& sources, bool byPath) {
  ScreensPlan plan;
  plan.monitors = context.platform.screen.Monitors();
  plan.mode = ScreensModeOf(context.form);
  plan.composed = plan.monitors.size() > 1;
  plan.perMonitor.assign(plan.monitors.size(), sources.front());
  if (plan.mode == ScreensMode::Each) {
    if (byPath) {
      plan.perMonitor = PicturesForMonitors(context.ShownPictures, plan.monitors);
    } else {
      const std::vector<int> order = ScreenOrder(plan.monitors);
      for (std::size_t k = 0; k < order.size(); ++k)
        plan.perMonitor[order[k]] = sources[k % sources.size()];
    }
  }
  return plan;
}

// Writes the composed bitmap on a thread of its own while the window is served.
bool ComposeBesideTheWindow(AppContext& context, const ScreensPlan& plan, const std::string& target,
                            const ConvertOptions& options, std::string& missing) {
  const TileStart start = context.platform.desktop.TilesFromPrimaryMonitor()
                              ? TileStart::PrimaryMonitor
                              : TileStart::VirtualScreen;
  const bool span = plan.mode == ScreensMode::Span;
  const ComposedLayout layout =
      span ? SpanLayout(plan.monitors, start) : ComposeLayout(plan.monitors, start);
  const std::vector<std::string> sources =
      span ? std::vector<std::string>{plan.perMonitor.front()} : plan.perMonitor;
  std::future<bool> work = std::async(std::launch::async, [&] {
    return ComposeWallpaper(sources, layout, target, options, missing);
  });
  while (work.wait_for(std::chrono::milliseconds(kServeEveryMs)) != std::future_status::ready) {
    context.platform.pump.ProcessMessages();
    if (context.WindowClosed) context.platform.pump.Terminate();
  }
  return work.get();
}

// Converts the picture of each monitor at that monitor's size into its own bitmap. On failure
// the bitmaps written so far are removed and `missing` names the picture not found.
bool WriteMonitorBitmaps(AppContext& context, const ScreensPlan& plan,
                         const std::vector<std::string>& targets, ConvertOptions options,
                         std::string& missing) {
  std::size_t written = 0;
  try {
    for (; written < targets.size(); ++written) {
      options.screen = {plan.monitors[written].width, plan.monitors[written].height};
      missing = plan.perMonitor[written];
      if (!ConvertBesideTheWindow(context, missing, targets[written], options)) break;
    }
  } catch (...) {
    for (std::size_t i = 0; i < written; ++i) RemoveFile(targets[i]);
    throw;
  }
  if (written == targets.size()) return true;
  for (std::size_t i = 0; i < written; ++i) RemoveFile(targets[i]);
  return false;
}

// The change itself; `newPictures` false for a new layout of the pictures shown already.
ChangeOutcome RunChange(AppContext& context, const std::vector<std::string>& sources,
                        const WallpaperChangeTexts& texts, const std::function<void()>& changed,
                        bool newPictures) {
  context.SetStatus(texts.converting);
  context.LogStatus(LogLevel::Notice);
  const ScreensPlan plan = PlanScreens(context, sources, !newPictures);
  ConvertOptions options = CurrentConvertOptions(context);
  // Where the system sets a bitmap for each monitor, each gets its own at its size; a picture
  // across the screens stays one composed bitmap.
  MonitorWallpaper* const perMonitor = plan.composed && plan.mode != ScreensMode::Span
                                           ? context.platform.desktop.MonitorWallpapers()
                                           : nullptr;
  std::vector<std::string> targets;
  std::string missing = plan.perMonitor.front();
  bool written = false;
  if (perMonitor) {
    targets = ChooseMonitorBitmaps(context.DataDir, plan.monitors.size());
    written = WriteMonitorBitmaps(context, plan, targets, options, missing);
  } else {
    targets = {ChooseWallpaperFiles(context.DataDir).target};
    if (!plan.composed) options.screen = {plan.monitors[0].width, plan.monitors[0].height};
    written = plan.composed ? ComposeBesideTheWindow(context, plan, targets[0], options, missing)
                            : ConvertBesideTheWindow(context, missing, targets[0], options);
  }
  if (!written) {
    context.SetStatus(context.Phrase("notfound1") + " " + missing + " " +
                      context.Phrase("notfound2"));
    context.LogStatus(LogLevel::Notice);
    return ChangeOutcome::SourceMissing;
  }
  context.SetStatus(texts.updating);
  if (texts.logUpdating) context.LogStatus(LogLevel::Notice);
  DesktopResult shown;
  if (perMonitor) {
    std::vector<MonitorBitmap> bitmaps;
    for (std::size_t i = 0; i < targets.size(); ++i)
      bitmaps.push_back({plan.monitors[i].devicePath, targets[i]});
    shown = perMonitor->SetWallpapers(bitmaps, PositionForMode(options.mode));
  } else {
    const WallpaperPosition position =
        plan.composed ? WallpaperPosition::Tile : PositionForMode(options.mode);
    shown = context.platform.desktop.SetWallpaper(targets[0], position);
  }
  if (!shown.applied) {
    // The desktop still shows the previous bitmaps: those stay, the new ones go.
    for (const std::string& target : targets) RemoveFile(target);
    context.SetStatus(context.Phrase("desktoperror") + ": " + shown.reason);
    context.LogStatus(LogLevel::Error);
    return ChangeOutcome::DesktopRefused;
  }
  if (changed) changed();
  if (newPictures) {
    context.PreviousSetWallpaper = context.platform.clock.Now();
    // The mode's bookkeeping may have moved a picture to where it keeps it (the picture of
    // the day): the history names it there.
    std::vector<std::string> perMonitor = plan.perMonitor;
    for (std::string& source : perMonitor)
      if (!FileExists(source) && !context.RecentPictures.empty())
        source = context.RecentPictures.front();
    context.ShownPictures.clear();
    for (std::size_t i = 0; i < plan.monitors.size(); ++i)
      context.ShownPictures.push_back({plan.monitors[i].devicePath, perMonitor[i]});
  }
  RemoveWallpaperBitmapsExcept(context.DataDir, targets);
  context.SetStatus(std::string());
  // A channel's run shows its own caption after this; a picture from the list has none.
  if (newPictures) ShowPictureCaption(context, std::string());
  return ChangeOutcome::Changed;
}

}  // namespace

ChangeOutcome ChangeWallpaper(AppContext& context, const std::string& source,
                              const WallpaperChangeTexts& texts,
                              const std::function<void()>& changed) {
  return RunChange(context, {source}, texts, changed, true);
}

ChangeOutcome ChangeWallpapers(AppContext& context, const std::vector<std::string>& sources,
                               const WallpaperChangeTexts& texts,
                               const std::function<void()>& changed) {
  return RunChange(context, sources, texts, changed, true);
}

void RelayOutWallpaper(AppContext& context) {
  ChangeGuard guard(context);
  if (!guard.Acquired() || context.ShownPictures.empty()) return;
  std::vector<std::string> sources;
  for (const MonitorPicture& shown : context.ShownPictures) sources.push_back(shown.source);
  WallpaperChangeTexts texts;
  texts.converting = context.Phrase("updatingdesktop");
  texts.updating = context.Phrase("updatingdesktop");
  context.SetTrayIcon(2);
  try {
    RunChange(context, sources, texts, nullptr, false);
  } catch (...) {
    context.SetTrayIcon(3);
    throw;
  }
  context.SetTrayIcon(3);
}

}  // namespace dova
