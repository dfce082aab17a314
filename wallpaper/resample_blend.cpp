#include "wallpaper/resample_blend.h"

#include <emmintrin.h>

#include <cstring>

namespace dova {

namespace {

constexpr int kStep = 32;  // values of a destination row summed together, in registers

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

}  // namespace

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

}  // namespace dova
