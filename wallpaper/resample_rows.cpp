#include "wallpaper/resample_rows.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace dova {

namespace {

constexpr int kBatch = IntermediateRows::kBatch;
constexpr int kPixelFloats = 4 * kBatch;  // one pixel of every row of a batch

// Pixels lo..hi of `n` rows of 24-bit pixels as floats, four per pixel (blue, green, red and an
// unused lane), the rows' pixels x side by side at `batch` + kPixelFloats * x.
void LoadPixelsAsFloats(const std::uint8_t* const* rows, int n, int width, int lo, int hi,
                        float* batch) {
  const __m128i zero = _mm_setzero_si128();
  for (int x = lo; x <= hi; ++x) {
    float* out = batch + static_cast<std::size_t>(kPixelFloats) * x;
    for (int r = 0; r < n; ++r) {
      const std::uint8_t* p = rows[r] + 3 * x;
      std::uint32_t bgr;
      if (x + 1 < width) {
        std::memcpy(&bgr, p, 4);  // the fourth byte belongs to the next pixel
      } else {
        bgr = p[0] | (p[1] << 8) | (p[2] << 16);
      }
      __m128i v = _mm_cvtsi32_si128(static_cast<int>(bgr));
      v = _mm_unpacklo_epi16(_mm_unpacklo_epi8(v, zero), zero);
      _mm_store_ps(out + 4 * r, _mm_cvtepi32_ps(v));
    }
  }
}

// Clamped to 0..255 and rounded to the nearest integer, ties to even, then back to float.
inline __m128 RoundedValues(__m128 sums) {
  const __m128 clamped = _mm_min_ps(_mm_max_ps(sums, _mm_setzero_ps()), _mm_set1_ps(255.0f));
  return _mm_cvtepi32_ps(_mm_cvtps_epi32(clamped));
}

// Resamples destination pixels i0 .. i1 - 1 of the first N rows of a batch: for each pixel and
// row, the sum over the column's contributors in order of (pixel * weight). Each pixel's four
// stored lanes overlap the next pixel's first, which is written over right after; rows need
// one float of room past the last pixel.
template <int N>
void ResampleBatch(const float* batch, const int* offset, const float* weight, int count, int i0,
                   int i1, float* const* out) {
  offset += static_cast<std::size_t>(i0) * count;
  weight += static_cast<std::size_t>(i0) * count;
  for (int i = i0; i < i1; ++i, offset += count, weight += count) {
    __m128 sum[N];
    for (int r = 0; r < N; ++r) sum[r] = _mm_setzero_ps();
    for (int c = 0; c < count; ++c) {
      const float* pixel = batch + offset[c];
      const __m128 w = _mm_set1_ps(weight[c]);
      for (int r = 0; r < N; ++r) {
        sum[r] = _mm_add_ps(sum[r], _mm_mul_ps(_mm_load_ps(pixel + 4 * r), w));
      }
    }
    for (int r = 0; r < N; ++r) _mm_storeu_ps(out[r] + 3 * i, RoundedValues(sum[r]));
  }
}

}  // namespace

IntermediateRows::IntermediateRows(const Bitmap& source, const ContributorTable& columns,
                                   int keep)
    : source_(source),
      width_(static_cast<int>(columns.first.size()) - 1),
      count_(std::max(1, columns.MaxCount())),
      // Three floats per pixel, one more for the overlapping stores, rounded up to 32 for the
      // vertical pass, which takes 32 values at a time.
      rowFloats_((3 * static_cast<std::size_t>(width_) + 1 + 31) / 32 * 32),
      batch_(static_cast<std::size_t>(kPixelFloats) * source.Width()),
      // Every batch may bring rows that are not asked for: room for them too.
      rows_(static_cast<std::size_t>(kBatch) * keep * rowFloats_),
      slots_(static_cast<std::size_t>(kBatch) * keep),
      slotOfRow_(source.Height(), -1) {
  // Lists padded to one length with zero weights at their ends: adding 0 leaves a sum as it
  // is, and the pixel loop runs the same count for every column. The padding points at the
  // list's last pixel, which is at hand anyway.
  const std::size_t entries = static_cast<std::size_t>(width_) * count_;
  offset_.assign(entries, 0);
  weight_.assign(entries, 0.0f);
  for (int i = 0; i < width_; ++i) {
    int pixel = 0;
    for (int c = 0; c < count_; ++c) {
      const std::size_t e = static_cast<std::size_t>(i) * count_ + c;
      if (c < columns.Count(i)) {
        pixel = columns.pixel[columns.first[i] + c];
        weight_[e] = columns.weight[columns.first[i] + c];
      }
      offset_[e] = kPixelFloats * pixel;
    }
    if (i % kBlockColumns == 0) blocks_.push_back({pixel, pixel});
    for (int c = 0; c < count_; ++c) {
      const int p = offset_[static_cast<std::size_t>(i) * count_ + c] / kPixelFloats;
      blocks_.back().lo = std::min(blocks_.back().lo, p);
      blocks_.back().hi = std::max(blocks_.back().hi, p);
    }
  }
}

int IntermediateRows::FreeSlot() {
  const auto oldest = std::min_element(
      slots_.begin(), slots_.end(),
      [](const Slot& a, const Slot& b) { return a.lastUse < b.lastUse; });
  if (oldest->row >= 0) slotOfRow_[oldest->row] = -1;
  oldest->row = -1;
  return static_cast<int>(oldest - slots_.begin());
}

const float* IntermediateRows::Row(int k) {
  if (slotOfRow_[k] < 0) {
    // Make row k together with the rows after it that are missing too.
    const std::uint8_t* in[kBatch];
    float* out[kBatch];
    int n = 0;
    for (int row = k; n < kBatch && row < source_.Height() && slotOfRow_[row] < 0; ++row, ++n) {
      const int slot = FreeSlot();
      slots_[slot].row = row;
      slots_[slot].lastUse = ++useClock_;
      slotOfRow_[row] = slot;
      in[n] = source_.Row(row);
      out[n] = SlotData(slot);
    }
    // Block by block, so that the source pixels turned into floats are still in the nearest
    // cache when they are summed.
    float* batch = batch_.data();
    const int* offset = offset_.data();
    const float* weight = weight_.data();
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
      LoadPixelsAsFloats(in, n, source_.Width(), blocks_[b].lo, blocks_[b].hi, batch);
      const int i0 = static_cast<int>(b) * kBlockColumns;
      const int i1 = std::min(width_, i0 + kBlockColumns);
      switch (n) {
        case 1: ResampleBatch<1>(batch, offset, weight, count_, i0, i1, out); break;
        case 2: ResampleBatch<2>(batch, offset, weight, count_, i0, i1, out); break;
        case 3: ResampleBatch<3>(batch, offset, weight, count_, i0, i1, out); break;
        default: ResampleBatch<4>(batch, offset, weight, count_, i0, i1, out); break;
      }
    }
  }
  const int slot = slotOfRow_[k];
  slots_[slot].lastUse = ++useClock_;
  return SlotData(slot);
}

}  // namespace dova
