// Strecth: horizontal pass into intermediate rows, then a vertical pass over whole destination
// rows, both vectorised with SSE2 across pixels.
//
// Every output value is the same single-precision sum as in the plain algorithm: start at 0,
// then for each contributor in list order add (pixel value * weight), rounding after each step;
// the final sum is clamped to 0..255 and rounded to the nearest integer, ties to even (the SSE
// conversion in the standard rounding mode). Only the loop nesting differs, never the order of
// the additions that make up one value.
//
// The intermediate picture is never held whole: its rows are produced when the vertical pass
// first needs them and kept, as floats, in a small cache that holds every row one destination
// row reads. Normally each intermediate row is computed once, and memory stays at about the
// source plus the destination.
#include "wallpaper/resample.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/error.h"
#include "wallpaper/resample_contributors.h"
#include "wallpaper/resample_rows.h"

namespace dova {

namespace {

constexpr int kStep = 32;  // values of a destination row summed together, in registers

// The SSE control word every result here assumes: round to nearest (ties to even), denormals
// kept, every exception masked. A loaded DLL or driver may have left another one on the
// thread; it is set for the work and given back afterwards, also when an error leaves.
class StandardFloatingPoint {
 public:
  StandardFloatingPoint() : saved_(_mm_getcsr()) { _mm_setcsr(0x1F80); }
  ~StandardFloatingPoint() { _mm_setcsr(saved_); }
  StandardFloatingPoint(const StandardFloatingPoint&) = delete;
  StandardFloatingPoint& operator=(const StandardFloatingPoint&) = delete;

 private:
  unsigned int saved_;
};

// Clamps four sums to 0..255 and rounds them, ties to even, to integers.
inline __m128i SumsToIntegers(__m128 sums) {
  const __m128 clamped = _mm_min_ps(_mm_max_ps(sums, _mm_setzero_ps()), _mm_set1_ps(255.0f));
  return _mm_cvtps_epi32(clamped);
}

// Stores 16 sums as bytes; only the first `bytes` of them when fewer remain in the row.
inline void StoreBytes(const __m128* s, std::uint8_t* out, int bytes) {
  const __m128i low = _mm_packs_epi32(SumsToIntegers(s[0]), SumsToIntegers(s[1]));
  const __m128i high = _mm_packs_epi32(SumsToIntegers(s[2]), SumsToIntegers(s[3]));
  const __m128i packed = _mm_packus_epi16(low, high);
  if (bytes >= 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), packed);
  } else if (bytes > 0) {
    alignas(16) std::uint8_t last[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(last), packed);
    std::memcpy(out, last, static_cast<std::size_t>(bytes));
  }
}

// Adds `count` intermediate rows times their weights, in order, to the running sums of one
// destination row, kStep values at a time. The sums start at 0, or at `partial` when
// `fromPartial`; they go back to `partial` when `out` is null, else out as bytes.
void BlendRows(const float* const* rows, const Quad* weights, int count, int values,
               float* partial, bool fromPartial, std::uint8_t* out) {
  constexpr int kRegisters = kStep / 4;
  for (int x = 0; x < values; x += kStep) {
    __m128 s[kRegisters];
    for (int v = 0; v < kRegisters; ++v) {
      s[v] = fromPartial ? _mm_load_ps(partial + x + 4 * v) : _mm_setzero_ps();
    }
    for (int c = 0; c < count; ++c) {
      const float* r = rows[c] + x;
      const __m128 w = _mm_load_ps(weights[c].lane);
      for (int v = 0; v < kRegisters; ++v) {
        s[v] = _mm_add_ps(s[v], _mm_mul_ps(_mm_load_ps(r + 4 * v), w));
      }
    }
    if (out != nullptr) {
      StoreBytes(s, out + x, values - x);
      StoreBytes(s + 4, out + x + 16, values - x - 16);
    } else {
      for (int v = 0; v < kRegisters; ++v) _mm_store_ps(partial + x + 4 * v, s[v]);
    }
  }
}

// Intermediate rows summed at once: every contributor of a destination row while that fits in
// about 16 MB, as it does for any ordinary picture (some 350 rows of a 4K screen's width).
// Beyond that the rows are taken in groups and the running sums kept in a row of their own.
int GroupSize(int maxRows, int width) {
  const std::size_t rowBytes = (3 * static_cast<std::size_t>(width) + 1) * sizeof(float);
  const std::size_t budget = (std::size_t{16} << 20) / rowBytes;
  return static_cast<int>(std::clamp<std::size_t>(static_cast<std::size_t>(maxRows), 1,
                                                  std::max<std::size_t>(budget, 4)));
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

  const StandardFloatingPoint standard;
  const ContributorTable columns = ComputeContributors(source.Width(), width, filter, support);
  const ContributorTable rowTable = ComputeContributors(source.Height(), height, filter, support);
  const int group = GroupSize(rowTable.MaxCount(), width);
  IntermediateRows intermediate(source, columns);
  FloatBuffer partial(group < rowTable.MaxCount() ? intermediate.RowFloats() : 0);

  const int values = 3 * width;
  std::vector<const float*> rows(group);
  std::vector<Quad> weights(group);
  for (int i = 0; i < height; ++i) {
    const int first = rowTable.first[i];
    const int count = rowTable.Count(i);
    std::uint8_t* out = destination.Row(i);
    if (count == 0) {
      std::memset(out, 0, static_cast<std::size_t>(values));
      continue;
    }
    for (int start = 0; start < count; start += group) {
      const int n = std::min(group, count - start);
      for (int c = 0; c < n; ++c) {
        rows[c] = intermediate.Row(rowTable.pixel[first + start + c]);
        const float w = rowTable.weight[first + start + c];
        weights[c] = Quad{{w, w, w, w}};
      }
      const bool last = start + n == count;
      BlendRows(rows.data(), weights.data(), n, values, partial.data(), start > 0,
                last ? out : nullptr);
      intermediate.ReleaseRows();
    }
  }
}

}  // namespace dova
