#include "wallpaper/resample_rows.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>

namespace dova {

namespace {

constexpr int kBatch = HorizontalPass::kBatch;
constexpr int kPixelFloats = 4 * kBatch;  // one pixel of every row of a batch

// Pixels lo..hi of `n` rows of 24-bit pixels as floats, four per pixel (blue, green, red and an
// unused lane), the rows' pixels x side by side at `batch` + kPixelFloats * x.
void LoadPixelsAsFloats(const std::uint8_t* const* rows, int n, int width, int lo, int hi,
                        float* batch) {
  const __m128i zero = _mm_setzero_si128();
  auto store = [&](int x, int r, __m128i words) {
    const __m128i bgr = _mm_unpacklo_epi16(words, zero);
    _mm_store_ps(batch + static_cast<std::size_t>(kPixelFloats) * x + 4 * r,
                 _mm_cvtepi32_ps(bgr));
  };
  int x = lo;
  // Four pixels from one 16-byte load, while those 16 bytes lie inside the row.
  for (; x + 4 <= hi + 1 && 3 * x + 16 <= 3 * width; x += 4) {
    for (int r = 0; r < n; ++r) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[r] + 3 * x));
      const __m128i first = _mm_unpacklo_epi8(v, zero);                      // pixels 0, 1
      const __m128i second = _mm_unpacklo_epi8(_mm_srli_si128(v, 6), zero);  // pixels 2, 3
      store(x, r, first);
      store(x + 1, r, _mm_srli_si128(first, 6));
      store(x + 2, r, second);
      store(x + 3, r, _mm_srli_si128(second, 6));
    }
  }
  for (; x <= hi; ++x) {
    for (int r = 0; r < n; ++r) {
      const std::uint8_t* p = rows[r] + 3 * x;
      const std::uint32_t bgr = p[0] | (p[1] << 8) | (p[2] << 16);
      store(x, r, _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(bgr)), zero));
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

std::size_t IntermediateRowFloats(int destinationWidth) {
  return (3 * static_cast<std::size_t>(destinationWidth) + 1 + 31) / 32 * 32;
}

HorizontalPass::HorizontalPass(const ContributorTable& columns, int sourceWidth)
    : sourceWidth_(sourceWidth),
      width_(static_cast<int>(columns.first.size()) - 1),
      count_(std::max(1, columns.MaxCount())),
      rowFloats_(IntermediateRowFloats(width_)) {
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

std::size_t HorizontalPass::ScratchFloats() const {
  return static_cast<std::size_t>(kPixelFloats) * sourceWidth_;
}

void HorizontalPass::Run(const std::uint8_t* const* in, int n, float* const* out,
                         float* scratch) const {
  // Block by block, so that the source pixels turned into floats are still in the nearest
  // cache when they are summed.
  const int* offset = offset_.data();
  const float* weight = weight_.data();
  for (std::size_t b = 0; b < blocks_.size(); ++b) {
    LoadPixelsAsFloats(in, n, sourceWidth_, blocks_[b].lo, blocks_[b].hi, scratch);
    const int i0 = static_cast<int>(b) * kBlockColumns;
    const int i1 = std::min(width_, i0 + kBlockColumns);
    switch (n) {
      case 1: ResampleBatch<1>(scratch, offset, weight, count_, i0, i1, out); break;
      case 2: ResampleBatch<2>(scratch, offset, weight, count_, i0, i1, out); break;
      case 3: ResampleBatch<3>(scratch, offset, weight, count_, i0, i1, out); break;
      default: ResampleBatch<4>(scratch, offset, weight, count_, i0, i1, out); break;
    }
  }
}

IntermediateRows::IntermediateRows(const Bitmap& source, const HorizontalPass& pass)
    : source_(source),
      pass_(pass),
      scratch_(pass.ScratchFloats()),
      slotOfRow_(source.Height(), nullptr) {}

IntermediateRows::Slot& IntermediateRows::FreeSlot() {
  Slot* oldest = nullptr;
  for (const auto& slot : slots_) {
    if (slot->generation != generation_ && (!oldest || slot->lastUse < oldest->lastUse)) {
      oldest = slot.get();
    }
  }
  if (oldest == nullptr) {
    slots_.push_back(std::make_unique<Slot>(Slot{-1, 0, -1, FloatBuffer(pass_.RowFloats())}));
    oldest = slots_.back().get();
  }
  if (oldest->row >= 0) slotOfRow_[oldest->row] = nullptr;
  oldest->row = -1;
  return *oldest;
}

const float* IntermediateRows::Row(int k) {
  if (slotOfRow_[k] == nullptr) {
    // Make row k together with the rows after it that are missing too.
    const std::uint8_t* in[kBatch];
    float* out[kBatch];
    int n = 0;
    for (int row = k; n < kBatch && row < source_.Height() && !slotOfRow_[row]; ++row, ++n) {
      Slot& slot = FreeSlot();
      slot.row = row;
      slot.generation = generation_;
      slotOfRow_[row] = &slot;
      in[n] = source_.Row(row);
      out[n] = slot.data.data();
    }
    pass_.Run(in, n, out, scratch_.data());
  }
  Slot& slot = *slotOfRow_[k];
  slot.lastUse = ++useClock_;
  slot.generation = generation_;
  return slot.data.data();
}

}  // namespace dova
