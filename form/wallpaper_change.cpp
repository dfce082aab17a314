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
