// Strecth over a picture held whole: horizontal pass into intermediate rows, then a vertical
// pass over whole destination rows, both vectorised with SSE2 across pixels.
//
// Every output value is the same single-precision sum as in the plain algorithm: start at 0,
// then for each contributor in list order add (pixel value * weight), rounding after each step;
// the final sum is clamped to 0..255 and rounded to the nearest integer, ties to even (the SSE
// conversion in the standard rounding mode). Only the loop nesting differs, never the order of
// the additions that make up one value; the streaming conversion (resample_stream.h) runs the
// same passes and gives the same bits.
//
// The intermediate picture is never held whole: its rows are produced when the vertical pass
// first needs them and kept, as floats, in a small cache that holds every row one destination
// row reads. Normally each intermediate row is computed once, and memory stays at about the
// source plus the destination.
#include "wallpaper/resample.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/error.h"
#include "wallpaper/resample_blend.h"
#include "wallpaper/resample_contributors.h"
#include "wallpaper/resample_float_mode.h"
#include "wallpaper/resample_rows.h"

namespace dova {

namespace {

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
  const HorizontalPass pass(columns, source.Width());
  IntermediateRows intermediate(source, pass);
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
