// The vertical pass of the resampler: a destination row as the weighted sum of intermediate
// rows, 32 values at a time in registers.
#pragma once

#include <cstdint>

#include "wallpaper/resample_rows.h"

namespace dova {

// Adds `count` intermediate rows times their weights (the same weight in every lane), in order,
// to the running sums of one destination row of `values` values. The sums start at 0, or at
// `partial` when `fromPartial`; they go back to `partial` when `out` is null, else to `out` as
// bytes, clamped to 0..255 and rounded to the nearest integer, ties to even. Rows and `partial`
// are 16-byte aligned with room for `values` rounded up to 32.
void BlendRows(const float* const* rows, const Quad* weights, int count, int values,
               float* partial, bool fromPartial, std::uint8_t* out);

}  // namespace dova
