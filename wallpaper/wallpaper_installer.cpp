#include "wallpaper/wallpaper_installer.h"

#include <algorithm>
#include <cctype>

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

std::vector<std::string> ChooseMonitorBitmaps(const std::string& dataDir, std::size_t count) {
  const std::string set = FileExists(dataDir + "wallpaper1-1.bmp") ? "wallpaper2-" : "wallpaper1-";
  std::vector<std::string> bitmaps;
  for (std::size_t n = 1; n <= count; ++n)
    bitmaps.push_back(dataDir + set + std::to_string(n) + ".bmp");
  return bitmaps;
}

namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// "1.bmp", "2.bmp", "1-<n>.bmp" or "2-<n>.bmp" after the "wallpaper" of the pattern.
bool IsWorkingBitmapName(const std::string& name) {
  const std::string prefix = "wallpaper", suffix = ".bmp";
  if (name.size() < prefix.size() + 1 + suffix.size()) return false;
  if (!SameName(name.substr(0, prefix.size()), prefix)) return false;
  if (!SameName(name.substr(name.size() - suffix.size()), suffix)) return false;
  const std::string middle =
      name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  if (middle != "1" && middle != "2" && middle.rfind("1-", 0) != 0 && middle.rfind("2-", 0) != 0)
    return false;
  const std::string number = middle.size() > 1 ? middle.substr(2) : "1";
  return !number.empty() && std::all_of(number.begin(), number.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c));
  });
}

}  // namespace

void RemoveWallpaperBitmapsExcept(const std::string& dataDir,
                                  const std::vector<std::string>& inUse) {
  for (const DirEntry& entry : ListDirectory(dataDir + "wallpaper*.bmp")) {
    if (entry.directory || !IsWorkingBitmapName(entry.name)) continue;
    const std::string path = dataDir + entry.name;
    const bool used = std::any_of(inUse.begin(), inUse.end(), [&path](const std::string& kept) {
      return SameName(kept, path);
    });
    if (!used) RemoveFile(path);
  }
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
