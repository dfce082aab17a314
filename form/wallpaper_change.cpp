#include "form/wallpaper_change.h"

#include "form/resize_mode_setting.h"
#include "platform/file_system.h"

namespace dova {

ConvertOptions CurrentConvertOptions(AppContext& context) {
  ConvertOptions options;
  options.mode = ResizeModeForChange(context.form);
  options.screen = context.platform.screen.Size();
  options.filterIndex = context.form.ComboBox5.itemIndex;
  return options;
}

bool ChangeWallpaper(AppContext& context, const std::string& source,
                     const WallpaperChangeTexts& texts, const std::function<void()>& converted) {
  context.SetStatus(texts.converting);
  context.LogStatus(LogLevel::Notice);
  const WallpaperFiles files = ChooseWallpaperFiles(context.DataDir);
  const ConvertOptions options = CurrentConvertOptions(context);
  if (!ConvertPicture(source, files.target, options)) {
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
  return true;
}

}  // namespace dova
