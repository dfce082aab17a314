// Separable filtered resampling of 24-bit pictures with seven reconstruction filters: every
// source row is resampled into an intermediate picture of the destination's width, then every
// intermediate column into the destination. Weights and sums are single precision.
#pragma once

#include "wallpaper/bitmap.h"

namespace dova {

using FilterFunction = float (*)(float x);

struct ResampleFilter {
  const char* name;
  FilterFunction filter;
  float support;
};

float BoxFilter(float x);
float TriangleFilter(float x);
float HermiteFilter(float x);
float BellFilter(float x);
float SplineFilter(float x);
float Lanczos3Filter(float x);
float MitchellFilter(float x);

// Box, Triangle, Hermite, Bell, B-Spline, Lanczos3, Mitchell: the order of the filter list.
extern const ResampleFilter ResampleFilters[7];
constexpr int kDefaultFilterIndex = 6;  // Mitchell, the list's design choice

// The table entry for a list index; an index outside the table gives the default filter.
const ResampleFilter& FilterForIndex(int index);

// Resamples all of `source` into `destination` at the destination's size (set beforehand).
// The source is turned into 24-bit colour in place; the destination becomes 24-bit and every
// pixel of it is written. Throws dova::Error "Source bitmap too small" for an empty source.
// Any other sizes work: a source side shorter than the filter's reach is mirrored as often as
// needed, and a destination side of one pixel takes the whole source side, weighed around its
// middle. The result is the same bits on every system and at every optimisation level.
void Strecth(Bitmap& source, Bitmap& destination, FilterFunction filter, float support);

}  // namespace dova
