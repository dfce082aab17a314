// Strecth: horizontal pass into intermediate rows, then a vertical pass over whole destination
// rows, both vectorised with SSE2 across pixels.
//
// Every output value is the same single-precision sum as in the plain algorithm: start at 0,
// then for each contributor in list order add (pixel value * weight), rounding after each step;
// the final sum is clamped to 0..255 and rounded to the nearest integer, ties to even (the SSE
// conversion in the default rounding mode). Only the loop nesting differs, never the order of
// the additions that make up one value.
//
// The intermediate picture is never held whole: its rows are produced when the vertical pass
// first needs them and kept, as floats, in a small cache that holds every row one destination
// row reads. Each intermediate row is computed once, and memory stays at about the source plus
// the destination.
#include "wallpaper/resample.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/error.h"
#include "wallpaper/resample_contributors.h"

namespace dova {

namespace {

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

// Clamps four sums to 0..255 and rounds them, ties to even, to integers.
inline __m128i SumsToIntegers(__m128 sums) {
  const __m128 clamped = _mm_min_ps(_mm_max_ps(sums, _mm_setzero_ps()), _mm_set1_ps(255.0f));
  return _mm_cvtps_epi32(clamped);
}

// One row of 24-bit pixels as four floats per pixel: blue, green, red and an unused lane.
void LoadPixelsAsFloats(const std::uint8_t* row, int width, float* out) {
  const __m128i zero = _mm_setzero_si128();
  for (int x = 0; x < width; ++x) {
    std::uint32_t bgr;
    if (x + 1 < width) {
      std::memcpy(&bgr, row + 3 * x, 4);  // the fourth byte belongs to the next pixel
    } else {
      bgr = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    }
    __m128i v = _mm_cvtsi32_si128(static_cast<int>(bgr));
    v = _mm_unpacklo_epi16(_mm_unpacklo_epi8(v, zero), zero);
    _mm_store_ps(out + 4 * x, _mm_cvtepi32_ps(v));
  }
}

// The horizontal contributor lists with every list padded to the same length by zero weights
// at its end. Adding 0 leaves a sum unchanged, so the padding changes no result, and the
// pixel loop runs the same count for every column.
struct PaddedColumns {
  int count = 0;
  std::vector<int> offset;  // float offset of the source pixel in a row from LoadPixelsAsFloats
  std::vector<float> weight;

  explicit PaddedColumns(const ContributorTable& table) {
    const int columns = static_cast<int>(table.first.size()) - 1;
    count = std::max(1, table.MaxCount());
    offset.assign(static_cast<std::size_t>(columns) * count, 0);
    weight.assign(static_cast<std::size_t>(columns) * count, 0.0f);
    for (int i = 0; i < columns; ++i) {
      for (int c = 0; c < table.Count(i); ++c) {
        offset[static_cast<std::size_t>(i) * count + c] = 4 * table.pixel[table.first[i] + c];
        weight[static_cast<std::size_t>(i) * count + c] = table.weight[table.first[i] + c];
      }
    }
  }
};

// Resamples one source row (as floats) into `out`: three rounded values per destination pixel.
// `out` needs one float of room past the last pixel.
void ResampleRow(const float* source, const PaddedColumns& columns, int width, float* out) {
  const int count = columns.count;
  const int* offset = columns.offset.data();
  const float* weight = columns.weight.data();
  for (int i = 0; i < width; ++i, offset += count, weight += count) {
    __m128 sum = _mm_setzero_ps();
    for (int c = 0; c < count; ++c) {
      sum = _mm_add_ps(sum, _mm_mul_ps(_mm_load_ps(source + offset[c]), _mm_set1_ps(weight[c])));
    }
    // Each pixel's four lanes overlap the next pixel's first: it is written over right after.
    _mm_storeu_ps(out + 3 * i, _mm_cvtepi32_ps(SumsToIntegers(sum)));
  }
}

// The rows of the intermediate picture, computed on first use and kept in a least-recently-used
// cache of `capacity` rows, so that the rows of any one group of contributors are all present.
class IntermediateRows {
 public:
  IntermediateRows(const Bitmap& source, const PaddedColumns& columns, int width,
                   int capacity, std::size_t rowFloats)
      : source_(source),
        columns_(columns),
        width_(width),
        rowFloats_(rowFloats),
        sourceFloats_(4 * static_cast<std::size_t>(source.Width())),
        rows_(static_cast<std::size_t>(capacity) * rowFloats),
        slots_(capacity),
        slotOfRow_(source.Height(), -1) {}

  const float* Row(int k) {
    int slot = slotOfRow_[k];
    if (slot < 0) {
      slot = static_cast<int>(std::min_element(slots_.begin(), slots_.end(),
                                               [](const Slot& a, const Slot& b) {
                                                 return a.lastUse < b.lastUse;
                                               }) -
                              slots_.begin());
      if (slots_[slot].row >= 0) slotOfRow_[slots_[slot].row] = -1;
      slots_[slot].row = k;
      slotOfRow_[k] = slot;
      LoadPixelsAsFloats(source_.Row(k), source_.Width(), sourceFloats_.data());
      ResampleRow(sourceFloats_.data(), columns_, width_, SlotData(slot));
    }
    slots_[slot].lastUse = ++useClock_;
    return SlotData(slot);
  }

 private:
  struct Slot {
    int row = -1;
    long long lastUse = 0;
  };
  float* SlotData(int slot) { return rows_.data() + static_cast<std::size_t>(slot) * rowFloats_; }

  const Bitmap& source_;
  const PaddedColumns& columns_;
  int width_;
  std::size_t rowFloats_;
  FloatBuffer sourceFloats_;
  FloatBuffer rows_;
  std::vector<Slot> slots_;
  std::vector<int> slotOfRow_;
  long long useClock_ = 0;
};

// Stores 16 sums as clamped, rounded bytes; only the first `bytes` of them when fewer remain.
inline void StoreBytes(__m128 s0, __m128 s1, __m128 s2, __m128 s3, std::uint8_t* out, int bytes) {
  const __m128i low = _mm_packs_epi32(SumsToIntegers(s0), SumsToIntegers(s1));
  const __m128i high = _mm_packs_epi32(SumsToIntegers(s2), SumsToIntegers(s3));
  const __m128i packed = _mm_packus_epi16(low, high);
  if (bytes >= 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), packed);
  } else {
    alignas(16) std::uint8_t last[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(last), packed);
    std::memcpy(out, last, static_cast<std::size_t>(bytes));
  }
}

// Adds `count` intermediate rows times their weights, in order, to the running sums of one
// destination row, 16 values at a time. The sums start at 0 when `partial` is null and are
// otherwise read from it; they go back to `partial` when `out` is null, else out as bytes.
void BlendRows(const float* const* rows, const Quad* weights, int count, int values,
               float* partial, bool fromPartial, std::uint8_t* out) {
  for (int x = 0; x < values; x += 16) {
    __m128 s0, s1, s2, s3;
    if (fromPartial) {
      s0 = _mm_load_ps(partial + x);
      s1 = _mm_load_ps(partial + x + 4);
      s2 = _mm_load_ps(partial + x + 8);
      s3 = _mm_load_ps(partial + x + 12);
    } else {
      s0 = s1 = s2 = s3 = _mm_setzero_ps();
    }
    for (int c = 0; c < count; ++c) {
      const float* r = rows[c] + x;
      const __m128 w = _mm_load_ps(weights[c].lane);
      s0 = _mm_add_ps(s0, _mm_mul_ps(_mm_load_ps(r), w));
      s1 = _mm_add_ps(s1, _mm_mul_ps(_mm_load_ps(r + 4), w));
      s2 = _mm_add_ps(s2, _mm_mul_ps(_mm_load_ps(r + 8), w));
      s3 = _mm_add_ps(s3, _mm_mul_ps(_mm_load_ps(r + 12), w));
    }
    if (out != nullptr) {
      StoreBytes(s0, s1, s2, s3, out + x, values - x);
    } else {
      _mm_store_ps(partial + x, s0);
      _mm_store_ps(partial + x + 4, s1);
      _mm_store_ps(partial + x + 8, s2);
      _mm_store_ps(partial + x + 12, s3);
    }
  }
}

// Rows of the intermediate kept at once: every contributor of a destination row when that fits
// in about 16 MB, which it does for any ordinary picture (some 350 rows of a 4K screen's width);
// otherwise the rows are taken in groups and the running sums kept in a row of their own.
int CacheCapacity(int maxRows, std::size_t rowFloats) {
  const std::size_t budget = (std::size_t{16} << 20) / (rowFloats * sizeof(float));
  return static_cast<int>(std::clamp<std::size_t>(static_cast<std::size_t>(maxRows), 1,
                                                  std::max<std::size_t>(budget, 16)));
}

}  // namespace

void Strecth(Bitmap& source, Bitmap& destination, FilterFunction filter, float support) {
  if (source.Width() < 1 || source.Height() < 1) throw Error("Source bitmap too small");
  source.ConvertTo24Bit();
  if (destination.BitsPerPixel() != 24) {
    destination = Bitmap(destination.Width(), destination.Height(), 24);
  }
  const int width = destination.Width();
  const int height = destination.Height();
  if (width < 1 || height < 1) return;

  const ContributorTable columnTable =
      ComputeContributors(source.Width(), width, filter, support);
  const PaddedColumns columns(columnTable);
  const ContributorTable rowTable = ComputeContributors(source.Height(), height, filter, support);

  // Three floats per pixel, one more for the horizontal pass's overlapping stores, rounded up
  // to the vertical pass's 16 values.
  const int values = 3 * width;
  const std::size_t rowFloats = (static_cast<std::size_t>(values) + 1 + 15) / 16 * 16;
  const int capacity = CacheCapacity(rowTable.MaxCount(), rowFloats);
  IntermediateRows intermediate(source, columns, width, capacity, rowFloats);
  FloatBuffer partial(capacity < rowTable.MaxCount() ? rowFloats : 0);

  std::vector<const float*> rows(capacity);
  std::vector<Quad> weights(capacity);
  for (int i = 0; i < height; ++i) {
    const int first = rowTable.first[i];
    const int count = rowTable.Count(i);
    std::uint8_t* out = destination.Row(i);
    if (count == 0) {
      std::memset(out, 0, static_cast<std::size_t>(values));
      continue;
    }
    for (int start = 0; start < count; start += capacity) {
      const int group = std::min(capacity, count - start);
      for (int c = 0; c < group; ++c) {
        rows[c] = intermediate.Row(rowTable.pixel[first + start + c]);
        const float w = rowTable.weight[first + start + c];
        weights[c] = Quad{{w, w, w, w}};
      }
      const bool last = start + group == count;
      BlendRows(rows.data(), weights.data(), group, values, partial.data(), start > 0,
                last ? out : nullptr);
    }
  }
}

}  // namespace dova
