#include "wallpaper/resample_contributors.h"

#include <algorithm>
#include <cmath>

namespace dova {

int ContributorTable::MaxCount() const {
  int most = 0;
  for (std::size_t i = 0; i + 1 < first.size(); ++i) most = std::max(most, first[i + 1] - first[i]);
  return most;
}

float ResampleScale(int sourceSize, int destinationSize) {
  if (sourceSize == 1) return static_cast<float>(destinationSize);
  // (D - 1) / (S - 1) is 0 for a one-pixel destination: no centre could be computed from it.
  // That pixel instead takes the whole source, as if shrinking it to a single pixel.
  if (destinationSize == 1) return 1.0f / static_cast<float>(sourceSize);
  return static_cast<float>(destinationSize - 1) / static_cast<float>(sourceSize - 1);
}

float ResampleCenter(int i, int sourceSize, int destinationSize, float scale) {
  if (destinationSize == 1 && sourceSize > 1) return static_cast<float>(sourceSize - 1) / 2.0f;
  return static_cast<float>(i) / scale;
}

int MirrorIndex(int j, int sourceSize) {
  if (j >= 0 && j < sourceSize) return j;
  // Mirroring about pixel 0 (-j) and about the far edge (2S - 1 - j) repeats with period 2S - 1.
  const int period = 2 * sourceSize - 1;
  int m = j % period;
  if (m < 0) m += period;
  return m < sourceSize ? m : period - m;
}

ContributorTable ComputeContributors(int sourceSize, int destinationSize, FilterFunction filter,
                                     float support) {
  ContributorTable table;
  table.first.reserve(static_cast<std::size_t>(destinationSize) + 1);
  const float scale = ResampleScale(sourceSize, destinationSize);
  const bool shrinking = scale < 1.0f;
  const float reach = shrinking ? support / scale : support;
  const float fscale = 1.0f / scale;
  const std::size_t room = static_cast<std::size_t>(2.0f * reach + 1.0f) + 2;
  table.pixel.reserve(room * static_cast<std::size_t>(destinationSize));
  table.weight.reserve(room * static_cast<std::size_t>(destinationSize));

  for (int i = 0; i < destinationSize; ++i) {
    table.first.push_back(static_cast<int>(table.pixel.size()));
    const float center = ResampleCenter(i, sourceSize, destinationSize, scale);
    const int left = static_cast<int>(std::floor(center - reach));
    const int right = static_cast<int>(std::ceil(center + reach));
    for (int j = left; j <= right; ++j) {
      const float distance = center - static_cast<float>(j);
      const float weight = shrinking ? filter(distance / fscale) / fscale : filter(distance);
      if (weight == 0.0f) continue;
      table.pixel.push_back(MirrorIndex(j, sourceSize));
      table.weight.push_back(weight);
    }
  }
  table.first.push_back(static_cast<int>(table.pixel.size()));
  return table;
}

}  // namespace dova
