// Resampling a picture while it is being decoded, on as many threads as asked: source rows come
// in from the top, go through the horizontal pass as soon as they arrive, and are forgotten;
// the intermediate rows are kept only while a destination row still needs them, and finished
// destination rows leave in bands. Neither the source nor the destination is ever held whole.
//
// The work is split into tasks: decoding the next rows (one thread at a time, in order), the
// horizontal pass over a chunk of decoded rows, and the vertical pass over a band of
// destination rows. Each thread takes whichever task is ready; with two or more threads the
// decoding comes first, so one thread keeps decoding while the others resample. Every value
// is made by the same passes as Strecth's, in the same order of additions, so the result is
// bit-identical to Strecth's whatever the number of threads and however the tasks fall.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "wallpaper/cancellation.h"
#include "wallpaper/resample.h"

namespace dova {

// Where the source rows come from, top row first.
struct RowSource {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 24;  // 8 (grey) or 24 (blue, green, red)
  // Fills rows[0] .. rows[count - 1] with the next `count` rows; called by one thread at a time.
  // Throws to stop the work.
  std::function<void(std::uint8_t* const* rows, int count)> read;
};

// Where the destination rows go: 24-bit rows `stride` bytes apart, padding zeroed.
struct BandSink {
  std::size_t stride = 0;
  // Takes rows first .. first + count - 1, given bottom-up as a BMP file holds them (the row
  // first + count - 1 at the start of `band`). Called from several threads at once, each
  // with its own band, in no particular order. Throws to stop the work.
  std::function<void(int first, int count, const std::uint8_t* band)> write;
};

// Whether resampling `source` to width x height with `filter` can go as a stream within a
// reasonable memory: the intermediate rows one band of destination rows needs fit in 64 MB.
// That holds for everything but extreme shrinking (a picture to a few dozen rows).
bool CanResampleAsStream(int sourceWidth, int sourceHeight, int width, int height,
                         const ResampleFilter& filter);

// Resamples every row `source` gives to width x height (both at least 1) with `filter` and
// hands the result to `sink`. `threads` is the number of threads at work, the calling one
// included (at least 1). When `cancel` is given and becomes true, the work stops within a band
// of rows and ConversionCancelled is thrown. An exception from `source`, `sink` or the work
// stops every thread and is thrown here once they have all stopped.
void ResampleStream(const RowSource& source, int width, int height, const ResampleFilter& filter,
                    const BandSink& sink, int threads, const CancelFlag* cancel = nullptr);

}  // namespace dova
