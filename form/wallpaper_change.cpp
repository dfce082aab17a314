#include "form/wallpaper_change.h"

namespace dova {

ConvertOptions CurrentConvertOptions(AppContext& context) {
  ConvertOptions options;
  options.resizeByProgram = context.form.RadioButton2.checked;
  options.screen = context.platform.screen.Size();
  options.filterIndex = context.form.ComboBox5.itemIndex;
  return options;
}

bool ConvertForChange(AppContext& context, const std::string& source, const std::string& target) {
  if (ConvertPicture(source, target, CurrentConvertOptions(context))) return true;
  context.SetStatus(context.Phrase("notfound1") + " " + source + " " + context.Phrase("notfound2"));
  context.LogStatus(LogLevel::Notice);
  return false;
}

void ApplyForChange(AppContext& context, const std::string& target) {
  ApplyWallpaper(context.platform.desktop, target, context.form.RadioButton3.checked);
  context.PreviousSetWallpaper = context.platform.clock.Now();
}

}  // namespace dova
