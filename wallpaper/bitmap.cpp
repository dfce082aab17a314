#include "wallpaper/bitmap.h"

#include <string>

#include "platform/error.h"

namespace dova {

namespace {
std::size_t RowStride(int width, int bitsPerPixel) {
  return (static_cast<std::size_t>(width) * bitsPerPixel / 8 + 3) & ~static_cast<std::size_t>(3);
}
}  // namespace

Bitmap::Bitmap(int width, int height, int bitsPerPixel) {
  if (width < 0 || height < 0 || (bitsPerPixel != 8 && bitsPerPixel != 24))
    throw Error("Invalid bitmap size " + std::to_string(width) + "x" + std::to_string(height));
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  stride_ = RowStride(width, bitsPerPixel);
  pixels_.resize(stride_ * static_cast<std::size_t>(height));
}

void Bitmap::ConvertTo24Bit() {
  if (bitsPerPixel_ == 24) return;
  Bitmap colour(width_, height_, 24);
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* grey = Row(y);
    std::uint8_t* bgr = colour.Row(y);
    for (int x = 0; x < width_; ++x) {
      bgr[3 * x] = bgr[3 * x + 1] = bgr[3 * x + 2] = grey[x];
    }
  }
  *this = std::move(colour);
}

}  // namespace dova
