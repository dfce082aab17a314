// A picture in memory: rows of 8-bit grey or 24-bit blue-green-red pixels, top row first, each
// row `Stride()` bytes long (rounded up to four bytes, as a Windows bitmap stores them, so a
// row can be written to a BMP file as it is).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dova {

class Bitmap {
 public:
  Bitmap() = default;
  // Throws dova::Error for sizes it cannot hold; std::bad_alloc when memory runs out.
  Bitmap(int width, int height, int bitsPerPixel);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitsPerPixel_; }  // 8 (grey palette) or 24
  int BytesPerPixel() const { return bitsPerPixel_ / 8; }
  std::size_t Stride() const { return stride_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  std::uint8_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * stride_;
  }

  // Turns an 8-bit grey picture into 24-bit colour in place; a 24-bit one is left alone.
  void ConvertTo24Bit();

 private:
  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 24;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace dova
