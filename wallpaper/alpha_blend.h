// Transparent pixels laid over the background colour, the same way for every format that has
// them (PNG's alpha and tRNS, BMP's alpha mask). The colour values are taken as stored, without
// gamma: result = (colour * alpha + background * (255 - alpha)) / 255 rounded to the nearest
// integer, which is exact because 255 is odd and no value lies halfway.
#pragma once

#include <cstdint>

#include "wallpaper/picture_reader.h"

namespace dova {

// One channel of a pixel with `alpha` (0 transparent .. 255 opaque) over `background`.
inline std::uint8_t BlendOver(unsigned colour, unsigned alpha, unsigned background) {
  return static_cast<std::uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

// The background as blue, green, red, the order of the rows.
struct BackgroundBgr {
  explicit BackgroundBgr(PackedRgb rgb)
      : blue(rgb & 0xFF), green((rgb >> 8) & 0xFF), red((rgb >> 16) & 0xFF) {}
  unsigned blue, green, red;
};

// `width` pixels of blue, green, red, alpha from `bgra` laid over `background` into `bgr`.
inline void BlendRowOver(const std::uint8_t* bgra, int width, const BackgroundBgr& background,
                         std::uint8_t* bgr) {
  for (int x = 0; x < width; ++x, bgra += 4, bgr += 3) {
    const unsigned alpha = bgra[3];
    bgr[0] = BlendOver(bgra[0], alpha, background.blue);
    bgr[1] = BlendOver(bgra[1], alpha, background.green);
    bgr[2] = BlendOver(bgra[2], alpha, background.red);
  }
}

}  // namespace dova
