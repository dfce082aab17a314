#include "wallpaper/placement.h"

#include <algorithm>

namespace dova {

namespace {

// numerator / denominator rounded to the nearest whole number (halves up), all positive.
int RoundedRatio(long long numerator, long long denominator) {
  return static_cast<int>((2 * numerator + denominator) / (2 * denominator));
}

PictureRect Whole(int width, int height) { return {0, 0, width, height}; }

}  // namespace

PictureRect FillCrop(int width, int height, int screenWidth, int screenHeight) {
  const long long w = width, h = height, sw = screenWidth, sh = screenHeight;
  PictureRect crop = Whole(width, height);
  if (w * sh > h * sw) {  // wider than the screen: cut the sides
    crop.width = std::clamp(RoundedRatio(h * sw, sh), 1, width);
    crop.x = (width - crop.width) / 2;
  } else if (w * sh < h * sw) {  // taller: cut the top and the bottom
    crop.height = std::clamp(RoundedRatio(w * sh, sw), 1, height);
    crop.y = (height - crop.height) / 2;
  }
  return crop;
}

PictureRect FitPlace(int width, int height, int screenWidth, int screenHeight) {
  const long long w = width, h = height, sw = screenWidth, sh = screenHeight;
  PictureRect place = Whole(screenWidth, screenHeight);
  if (w * sh > h * sw) {  // wider than the screen: a band across it
    place.height = std::clamp(RoundedRatio(h * sw, w), 1, screenHeight);
    place.y = (screenHeight - place.height) / 2;
  } else if (w * sh < h * sw) {  // taller: a column down it
    place.width = std::clamp(RoundedRatio(w * sh, h), 1, screenWidth);
    place.x = (screenWidth - place.width) / 2;
  }
  return place;
}

Placement StretchPlacement(int width, int height, int screenWidth, int screenHeight) {
  return {Whole(width, height), screenWidth, screenHeight, Whole(screenWidth, screenHeight)};
}

Placement FillPlacement(int width, int height, int screenWidth, int screenHeight) {
  return {FillCrop(width, height, screenWidth, screenHeight), screenWidth, screenHeight,
          Whole(screenWidth, screenHeight)};
}

Placement FitPlacement(int width, int height, int screenWidth, int screenHeight,
                       PackedRgb background) {
  return {Whole(width, height), screenWidth, screenHeight,
          FitPlace(width, height, screenWidth, screenHeight), background};
}

}  // namespace dova
