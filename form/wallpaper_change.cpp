#include "form/wallpaper_change.h"

#include <chrono>
#include <future>

#include "form/resize_mode_setting.h"
#include "platform/file_system.h"

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
  std::future<bool> conversion = std::async(std::launch::async, [&source, &target, &options] {
    return ConvertPicture(source, target, options);
  });
  // The window is served as during the transfers: a closed window asks the loop to end once
  // the change is over, and a second change that arrives meanwhile is refused by its guard.
  while (conversion.wait_for(std::chrono::milliseconds(kServeEveryMs)) !=
         std::future_status::ready) {
    context.platform.pump.ProcessMessages();
    if (context.WindowClosed) context.platform.pump.Terminate();
  }
  return conversion.get();
}

WallpaperPosition PositionForMode(ResizeMode mode) {
  return mode == ResizeMode::None ? WallpaperPosition::Centre : WallpaperPosition::Stretch;
}

ChangeOutcome ChangeWallpaper(AppContext& context, const std::string& source,
                              const WallpaperChangeTexts& texts,
                              const std::function<void()>& changed) {
  context.SetStatus(texts.converting);
  context.LogStatus(LogLevel::Notice);
  const WallpaperFiles files = ChooseWallpaperFiles(context.DataDir);
  const ConvertOptions options = CurrentConvertOptions(context);
  if (!ConvertBesideTheWindow(context, source, files.target, options)) {
    context.SetStatus(context.Phrase("notfound1") + " " + source + " " +
                      context.Phrase("notfound2"));
    context.LogStatus(LogLevel::Notice);
    return ChangeOutcome::SourceMissing;
  }
  context.SetStatus(texts.updating);
  if (texts.logUpdating) context.LogStatus(LogLevel::Notice);
  const DesktopResult shown =
      context.platform.desktop.SetWallpaper(files.target, PositionForMode(options.mode));
  if (!shown.applied) {
    // The desktop still shows the previous bitmap: that one stays, the new one goes.
    RemoveFile(files.target);
    context.SetStatus(context.Phrase("desktoperror") + ": " + shown.reason);
    context.LogStatus(LogLevel::Error);
    return ChangeOutcome::DesktopRefused;
  }
  if (changed) changed();
  context.PreviousSetWallpaper = context.platform.clock.Now();
  RemoveFile(files.previous);
  context.SetStatus(std::string());
  return ChangeOutcome::Changed;
}

}  // namespace dova
