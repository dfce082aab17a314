// The run-length encodings of 8-bit and 4-bit palette bitmaps (BI_RLE8, BI_RLE4). Their rows
// are stored bottom row first and may skip pixels (a delta, an early end of line), so a picture
// is decoded whole, onto a canvas that already holds what shows through the skipped pixels.
#pragma once

#include <cstdint>
#include <cstdio>

#include "wallpaper/cancellation.h"

namespace dova {

struct BmpRleCanvas {
  int width = 0;
  int height = 0;
  std::uint8_t* pixels = nullptr;  // width * 3 bytes a row (blue, green, red), top row first
};

// Decodes the data read from `file`, from its current position, onto `canvas`, each index
// taking its colour from `palette` (256 entries of blue, green, red). Runs that go past a row's
// end are cut there and moves past the picture end it. Throws dova::Error with the bare reason
// when the file ends before the end-of-bitmap marker while rows are still missing, and
// ConversionCancelled when `cancel` is set.
void DecodeBmpRle(std::FILE* file, int bitsPerPixel, const std::uint8_t* palette,
                  const BmpRleCanvas& canvas, const CancelFlag* cancel);

}  // namespace dova
