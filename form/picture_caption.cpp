#include "form/picture_caption.h"

namespace dova {

std::string TrayTipFor(const std::string& caption) {
  const std::string name = "Dova Wallpaper Changer";
  return caption.empty() ? name : name + "\n" + caption;
}

void ShowPictureCaption(AppContext& context, const std::string& caption) {
  context.CurrentCaption = caption;
  context.form.trayHint = TrayTipFor(caption);
  if (caption.empty()) {
    context.platform.pump.Repaint();
    return;
  }
  context.SetStatus(caption);
  context.log.Write(LogLevel::Notice, context.Phrase("picturecaption") + " " + caption);
}

}  // namespace dova
