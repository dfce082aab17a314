#include "form/wallpaper_change.h"

#include <chrono>
#include <future>

#include "form/picture_caption.h"
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

bool ChangeWallpaper(AppContext& context, const std::string& source,
                     const WallpaperChangeTexts& texts, const std::function<void()>& converted) {
  context.SetStatus(texts.converting);
  context.LogStatus(LogLevel::Notice);
  const WallpaperFiles files = ChooseWallpaperFiles(context.DataDir);
  const ConvertOptions options = CurrentConvertOptions(context);
  if (!ConvertBesideTheWindow(context, source, files.target, options)) {
    context.SetStatus(context.Phrase("notfound1") + " " + source + " " +
                      context.Phrase("notfound2"));
    context.LogStatus(LogLevel::Notice);
    return false;
  }
  if (converted) converted();
  context.SetStatus(texts.updating);
  if (texts.logUpdating) context.LogStatus(LogLevel::Notice);
  context.platform.desktop.SetWallpaper(files.target, options.mode == ResizeMode::None);
  context.PreviousSetWallpaper = context.platform.clock.Now();
  RemoveFile(files.previous);
  context.SetStatus(std::string());
  ShowPictureCaption(context, std::string());  // a channel's run shows its own after this
  return true;
}

}  // namespace dova
