// Which source pixels make up each destination pixel along one direction of a resize, and with
// what weights. Computed once per destination column (or row) before any pixel is touched.
#pragma once

#include <vector>

#include "wallpaper/resample.h"

namespace dova {

// The contributors of destination pixel i are entries first[i] .. first[i + 1] - 1 of `pixel`
// and `weight`, in the order they are summed. Only non-zero weights are listed; every `pixel`
// lies inside 0 .. sourceSize - 1.
struct ContributorTable {
  std::vector<int> first;  // destinationSize + 1 entries
  std::vector<int> pixel;
  std::vector<float> weight;

  int Count(int i) const { return first[i + 1] - first[i]; }
  int MaxCount() const;
};

// Destination pixels per source pixel along one direction, in single precision: (D - 1) / (S - 1)
// so that the first and last pixels of both sides meet; D / S for a source one pixel long; and
// 1 / S for a destination one pixel long, which then covers the whole source (see below).
float ResampleScale(int sourceSize, int destinationSize);

// The position in source pixels that destination pixel i is centred on: i / scale, or the middle
// of the source, (S - 1) / 2, for a destination one pixel long from a longer source.
float ResampleCenter(int i, int sourceSize, int destinationSize, float scale);

// Source index j mirrored into the picture: -j to the left of it, 2S - 1 - j to the right of it,
// repeated for a source shorter than the filter's reach, so the result is always inside.
int MirrorIndex(int j, int sourceSize);

// Builds the table for resizing `sourceSize` pixels to `destinationSize` (both at least 1).
// Shrinking widens the filter by 1 / scale and lowers it by the same factor; the weights are not
// normalised.
ContributorTable ComputeContributors(int sourceSize, int destinationSize, FilterFunction filter,
                                     float support);

}  // namespace dova
