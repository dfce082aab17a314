#include "wallpaper/wallpaper_installer.h"

#include "platform/file_system.h"
#include "wallpaper/jpeg_decoder.h"
#include "wallpaper/picture_conversion.h"
#include "wallpaper/resample.h"

namespace dova {

WallpaperFiles ChooseWallpaperFiles(const std::string& dataDir) {
  const std::string first = dataDir + "wallpaper1.bmp";
  const std::string second = dataDir + "wallpaper2.bmp";
  if (FileExists(first)) return {second, first};
  return {first, second};
}

bool ConvertPicture(const std::string& source, const std::string& target,
                    const ConvertOptions& options) {
  if (!FileExists(source)) return false;
  JpegRowReader reader(source, JpegLimits(), options.cancel);
  const bool screenSized =
      reader.Width() == options.screen.width && reader.Height() == options.screen.height;
  if (options.mode != ResizeMode::Program || screenSized || options.screen.width < 1 ||
      options.screen.height < 1) {
    WritePictureAsBmp(reader, target, options.cancel);
    return true;
  }
  ResamplePictureToBmp(reader, target, options.screen.width, options.screen.height,
                       FilterForIndex(options.filterIndex), options.threads, options.cancel);
  return true;
}

}  // namespace dova
