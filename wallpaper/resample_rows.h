// The horizontal pass of the resampler: rows of the intermediate picture (the source resampled
// to the destination's width), made when first asked for and kept in a small cache.
#pragma once

#include <cstddef>
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

// Intermediate rows as floats holding the rounded 0..255 values, three per pixel (blue, green,
// red), with room for `RowFloats()` floats each. Rows handed out stay valid and unchanged until
// `ReleaseRows`; after that the cache may reuse their memory for other rows.
class IntermediateRows {
 public:
  // Holds references to `source` (24-bit) and `columns` (source width -> destination width).
  IntermediateRows(const Bitmap& source, const ContributorTable& columns);

  const float* Row(int k);
  void ReleaseRows() { ++generation_; }
  std::size_t RowFloats() const { return rowFloats_; }

  // Consecutive source rows resampled together: they share each contributor's index and
  // weight, and their sums form independent chains for the processor to overlap.
  static constexpr int kBatch = 4;
  // Destination columns made from one stretch of source pixels converted to floats.
  static constexpr int kBlockColumns = 128;

 private:
  struct Block {
    int lo, hi;  // the source pixels the block's columns read
  };
  struct Slot {
    int row = -1;
    long long lastUse = 0;
    long long generation = -1;  // handed out in this generation: in use
    FloatBuffer data;
  };
  Slot& FreeSlot();

  const Bitmap& source_;
  int width_;
  int count_;                  // contributors per column, padded to the longest list
  std::vector<int> offset_;    // float offset of each contributor's pixel in a batch of rows
  std::vector<float> weight_;  // 0 for the padding
  std::vector<Block> blocks_;  // one per kBlockColumns destination columns
  std::size_t rowFloats_;
  FloatBuffer batch_;          // kBatch source rows as floats, pixel by pixel interleaved
  std::vector<std::unique_ptr<Slot>> slots_;  // grows when every row is in use
  std::vector<Slot*> slotOfRow_;
  long long useClock_ = 0;
  long long generation_ = 0;
};

}  // namespace dova
