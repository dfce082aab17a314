#include "wallpaper/wallpaper_installer.h"

#include "platform/file_system.h"
#include "wallpaper/composed_wallpaper.h"
#include "wallpaper/picture_conversion.h"
#include "wallpaper/placement.h"
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
  PictureReadOptions read;
  read.cancel = options.cancel;
  read.background = options.mode == ResizeMode::Fit ? options.fitColour : 0x000000;
  const std::unique_ptr<PictureRowReader> reader = OpenPictureReader(source, read);
  const int width = reader->Width(), height = reader->Height();
  const ScreenSize& screen = options.screen;
  const bool screenSized = width == screen.width && height == screen.height;
  if (!ResizesByProgram(options.mode) || screenSized || screen.width < 1 || screen.height < 1) {
    WritePictureAsBmp(*reader, target, options.cancel);
    return true;
  }
  const Placement placement =
      PlacementForMode(options.mode, width, height, screen.width, screen.height, options.fitColour);
  PlacePictureToBmp(*reader, target, placement, FilterForIndex(options.filterIndex),
                    options.threads, options.cancel);
  return true;
}

}  // namespace dova
