// The horizontal pass of the resampler: source rows resampled to the destination's width into
// intermediate rows of floats. HorizontalPass makes them from any source rows handed to it;
// IntermediateRows makes them from a picture held whole, when first asked for, and keeps them
// in a small cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "wallpaper/bitmap.h"
#include "wallpaper/resample_contributors.h"

namespace dova {

// Four floats on a 16-byte boundary: one SSE register's worth.
struct alignas(16) Quad {
  float lane[4];
};

// Floats in 16-byte aligned storage, zeroed.
class FloatBuffer {
 public:
  explicit FloatBuffer(std::size_t floats) : storage_((floats + 3) / 4, Quad{}) {}
  float* data() { return storage_.empty() ? nullptr : storage_.front().lane; }

 private:
  std::vector<Quad> storage_;
};

// Intermediate rows hold the rounded 0..255 values as floats, three per pixel (blue, green,
// red), in rows of `RowFloats()` floats: one more for the pass's overlapping stores, rounded up
// to the 32 values the vertical pass takes at a time.
std::size_t IntermediateRowFloats(int destinationWidth);

// The column weights of one resize, laid out for the pixel loop. Immutable once made: any
// number of threads may run it at once, each with scratch memory of its own.
class HorizontalPass {
 public:
  // `columns` maps `sourceWidth` pixels to the destination's width.
  HorizontalPass(const ContributorTable& columns, int sourceWidth);

  int SourceWidth() const { return sourceWidth_; }
  std::size_t RowFloats() const { return rowFloats_; }
  // Floats of scratch memory Run needs.
  std::size_t ScratchFloats() const;

  // Resamples `n` source rows (1 .. kBatch, 24-bit) into `out` (RowFloats() floats each).
  void Run(const std::uint8_t* const* in, int n, float* const* out, float* scratch) const;

  // Consecutive source rows resampled together: they share each contributor's index and
  // weight, and their sums form independent chains for the processor to overlap.
  static constexpr int kBatch = 4;
  // Destination columns made from one stretch of source pixels converted to floats.
  static constexpr int kBlockColumns = 128;

 private:
  struct Block {
    int lo, hi;  // the source pixels the block's columns read
  };

  int sourceWidth_;
  int width_;
  int count_;                  // contributors per column, padded to the longest list
  std::vector<int> offset_;    // float offset of each contributor's pixel in a batch of rows
  std::vector<float> weight_;  // 0 for the padding
  std::vector<Block> blocks_;  // one per kBlockColumns destination columns
  std::size_t rowFloats_;
};

// Intermediate rows of a whole 24-bit source picture. Rows handed out stay valid and unchanged
// until `ReleaseRows`; after that the cache may reuse their memory for other rows.
class IntermediateRows {
 public:
  // Holds references to `source` and `pass`.
  IntermediateRows(const Bitmap& source, const HorizontalPass& pass);

  const float* Row(int k);
  void ReleaseRows() { ++generation_; }
  std::size_t RowFloats() const { return pass_.RowFloats(); }

 private:
  struct Slot {
    int row = -1;
    long long lastUse = 0;
    long long generation = -1;  // handed out in this generation: in use
    FloatBuffer data;
  };
  Slot& FreeSlot();

  const Bitmap& source_;
  const HorizontalPass& pass_;
  FloatBuffer scratch_;
  std::vector<std::unique_ptr<Slot>> slots_;  // grows when every row is in use
  std::vector<Slot*> slotOfRow_;
  long long useClock_ = 0;
  long long generation_ = 0;
};

}  // namespace dova
