#include "wallpaper/wallpaper_installer.h"

#include "platform/file_system.h"
#include "wallpaper/bmp_file.h"
#include "wallpaper/jpeg_decoder.h"
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
  Bitmap picture = DecodeJpegFile(source);
  const bool screenSized =
      picture.Width() == options.screen.width && picture.Height() == options.screen.height;
  if (options.mode != ResizeMode::Program || screenSized || options.screen.width < 1 ||
      options.screen.height < 1) {
    SaveBmpFile(picture, target);
    return true;
  }
  Bitmap stretched(options.screen.width, options.screen.height, 24);
  const ResampleFilter& filter = FilterForIndex(options.filterIndex);
  Strecth(picture, stretched, filter.filter, filter.support);
  picture = Bitmap();  // the source is not needed for writing: give its memory back first
  SaveBmpFile(stretched, target);
  return true;
}

}  // namespace dova
