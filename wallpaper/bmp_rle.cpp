// The data is a series of byte pairs. A pair (n, value) with n > 0 is a run of n pixels: for
// RLE8 all of colour `value`, for RLE4 alternating its high and low nibble. A pair (0, code) is
// an escape: 0 ends the line, 1 ends the bitmap, 2 moves right and up by the next two bytes, and
// any larger code starts `code` literal pixels, padded to an even number of bytes.
#include "wallpaper/bmp_rle.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/error.h"

namespace dova {

namespace {

constexpr char kCutShort[] = "the picture is damaged: the file is cut short";

// Bytes from the file through a buffer of our own: fgetc's locking per byte would be most of
// the work.
class ByteSource {
 public:
  explicit ByteSource(std::FILE* file) : file_(file) {}
  // The next byte, or -1 at the end of the file.
  int Next() {
    if (at_ == size_) {
      size_ = std::fread(buffer_, 1, sizeof buffer_, file_);
      at_ = 0;
      if (size_ == 0) return -1;
    }
    return buffer_[at_++];
  }

 private:
  std::FILE* file_;
  std::uint8_t buffer_[16384];
  std::size_t size_ = 0;
  std::size_t at_ = 0;
};

class RleDecoder {
 public:
  RleDecoder(int bitsPerPixel, const std::uint8_t* palette, const BmpRleCanvas& canvas)
      : rle4_(bitsPerPixel == 4), palette_(palette), canvas_(canvas) {}

  bool Done() const { return y_ >= canvas_.height; }

  // `count` pixels of a run; RLE4 alternates the value's two nibbles.
  void Run(int count, int value) {
    for (int i = 0; i < count; ++i) Put(rle4_ ? ((i & 1) ? value & 0x0F : value >> 4) : value);
  }
  void Put(int index) {
    if (x_ < canvas_.width) {
      std::uint8_t* pixel =
          canvas_.pixels + (static_cast<std::size_t>(canvas_.height - 1 - y_) * canvas_.width +
                            static_cast<std::size_t>(x_)) *
                               3;
      std::memcpy(pixel, palette_ + index * 3, 3);
      ++x_;
    }
  }
  void EndLine() {
    x_ = 0;
    ++y_;
  }
  void EndBitmap() { y_ = canvas_.height; }
  void Move(int right, int up) {
    x_ = std::min(x_ + right, canvas_.width);
    y_ = std::min(y_ + up, canvas_.height);
  }
  bool Rle4() const { return rle4_; }

 private:
  bool rle4_;
  const std::uint8_t* palette_;
  BmpRleCanvas canvas_;
  int x_ = 0;  // at most the width: pixels past the row's end are dropped
  int y_ = 0;  // rows from the bottom
};

}  // namespace

void DecodeBmpRle(std::FILE* file, int bitsPerPixel, const std::uint8_t* palette,
                  const BmpRleCanvas& canvas, const CancelFlag* cancel) {
  ByteSource in(file);
  RleDecoder decoder(bitsPerPixel, palette, canvas);
  const auto next = [&in]() {
    const int byte = in.Next();
    if (byte < 0) throw Error(kCutShort);
    return byte;
  };
  long long steps = 0;
  while (!decoder.Done()) {
    if ((++steps & 0xFFFF) == 0) ThrowIfCancelled(cancel);
    const int count = next();
    const int code = next();
    if (count > 0) {
      decoder.Run(count, code);
    } else if (code == 0) {
      decoder.EndLine();
    } else if (code == 1) {
      decoder.EndBitmap();
    } else if (code == 2) {
      const int right = next();
      decoder.Move(right, next());
    } else {
      // Literal pixels, padded to a 16-bit boundary.
      const int bytes = decoder.Rle4() ? (code + 1) / 2 : code;
      for (int i = 0, pixel = 0; i < bytes; ++i) {
        const int value = next();
        if (decoder.Rle4()) {
          decoder.Put(value >> 4);
          if (++pixel < code) decoder.Put(value & 0x0F);
          ++pixel;
        } else {
          decoder.Put(value);
        }
      }
      if (bytes & 1) next();
    }
  }
}

}  // namespace dova
