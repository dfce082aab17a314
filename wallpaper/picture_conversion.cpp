#include "wallpaper/picture_conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "wallpaper/bmp_file.h"
#include "wallpaper/resample_stream.h"

namespace dova {

namespace {

constexpr std::size_t kBandBytes = std::size_t{1} << 20;  // rows written to the file at once
constexpr int kMostThreads = 64;

std::size_t PaddedRow(int width) {
  return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

// Reads exactly `count` rows into rows[0] .. rows[count - 1].
void ReadExactly(PictureRowReader& reader, std::uint8_t* const* rows, int count) {
  for (int done = 0; done < count;) {
    const int read = reader.ReadRows(rows + done, count - done);
    if (read == 0) throw Error("The picture ended before its last row");
    done += read;
  }
}

// Reads and forgets `count` rows: parts of the picture that are not shown still have to be
// decoded for the decoder to tell whether the picture is whole.
void SkipRows(PictureRowReader& reader, int count) {
  const std::size_t rowBytes = static_cast<std::size_t>(reader.Width()) *
                               static_cast<std::size_t>(reader.BitsPerPixel() / 8);
  const int batch = static_cast<int>(
      std::clamp<std::size_t>(kBandBytes / std::max<std::size_t>(rowBytes, 1), 1, 64));
  std::vector<std::uint8_t> scratch(rowBytes * static_cast<std::size_t>(batch));
  std::vector<std::uint8_t*> rows(static_cast<std::size_t>(batch));
  for (int r = 0; r < batch; ++r) rows[r] = scratch.data() + rowBytes * r;
  while (count > 0) {
    const int now = std::min(count, batch);
    ReadExactly(reader, rows.data(), now);
    count -= now;
  }
}

// The canvas's pixels outside the target: the background colour, blue-green-red.
struct CanvasRows {
  std::size_t stride;
  std::vector<std::uint8_t> blankRow;  // one row of background, padding zeroed

  CanvasRows(int width, PackedRgb background) : stride(PaddedRow(width)), blankRow(stride, 0) {
    for (int x = 0; x < width; ++x) {
      blankRow[x * 3] = static_cast<std::uint8_t>(background & 0xFF);
      blankRow[x * 3 + 1] = static_cast<std::uint8_t>((background >> 8) & 0xFF);
      blankRow[x * 3 + 2] = static_cast<std::uint8_t>((background >> 16) & 0xFF);
    }
  }

  // Writes rows first .. first + count - 1 of background only.
  void WriteBlank(const CanvasBandWriter& write, int first, int count) const {
    const int bandRows = static_cast<int>(std::max<std::size_t>(kBandBytes / stride, 1));
    std::vector<std::uint8_t> band;
    for (int done = 0; done < count;) {
      const int now = std::min(bandRows, count - done);
      band.resize(stride * now);
      for (int r = 0; r < now; ++r) std::memcpy(band.data() + stride * r, blankRow.data(), stride);
      write(first + done, now, band.data());
      done += now;
    }
  }

  // Writes the 24-bit rows of `band` (bottom-up, `bandStride` apart, `width` pixels each) at
  // column `x` of canvas rows first .. first + count - 1, with background beside them.
  void WritePlaced(const CanvasBandWriter& write, int first, int count, int x, int width,
                   const std::uint8_t* band, std::size_t bandStride) const {
    std::vector<std::uint8_t> rows(stride * count);
    for (int r = 0; r < count; ++r) {
      std::uint8_t* row = rows.data() + stride * r;
      std::memcpy(row, blankRow.data(), stride);
      std::memcpy(row + x * 3, band + bandStride * r, static_cast<std::size_t>(width) * 3);
    }
    write(first, count, rows.data());
  }
};

// A pixel row of the picture as 24-bit colour: grey bytes repeated three times.
void ToColour(const std::uint8_t* from, int bitsPerPixel, int width, std::uint8_t* to) {
  if (bitsPerPixel == 24) {
    std::memcpy(to, from, static_cast<std::size_t>(width) * 3);
    return;
  }
  for (int x = 0; x < width; ++x) to[x * 3] = to[x * 3 + 1] = to[x * 3 + 2] = from[x];
}

// The part of the picture as a bitmap of its own, for the whole-picture resampling.
Bitmap Crop(const Bitmap& picture, const PictureRect& part) {
  if (part.x == 0 && part.y == 0 && part.width == picture.Width() &&
      part.height == picture.Height())
    return picture;
  Bitmap cropped(part.width, part.height, picture.BitsPerPixel());
  const std::size_t bytes = static_cast<std::size_t>(part.width) * picture.BytesPerPixel();
  for (int y = 0; y < part.height; ++y)
    std::memcpy(cropped.Row(y), picture.Row(part.y + y) + part.x * picture.BytesPerPixel(), bytes);
  return cropped;
}

}  // namespace

int ConversionThreads(int requested) {
  if (requested > 0) return std::min(requested, kMostThreads);
  const unsigned processors = std::thread::hardware_concurrency();  // 0 when unknown
  return static_cast<int>(std::clamp<unsigned>(processors, 1, kMostThreads));
}

void WritePictureAsBmp(PictureRowReader& reader, const std::string& target,
                       const CancelFlag* cancel) {
  ThrowIfCancelled(cancel);
  BmpFileWriter writer(target, reader.Width(), reader.Height(), reader.BitsPerPixel());
  // Rows are decoded straight into a band laid out as the file holds it, bottom row first.
  const std::size_t stride = writer.Stride();
  const int bandRows = static_cast<int>(
      std::clamp<std::size_t>(kBandBytes / stride, 1, static_cast<std::size_t>(reader.Height())));
  std::vector<std::uint8_t> band(stride * bandRows, 0);
  std::vector<std::uint8_t*> rows(bandRows);
  while (reader.RowsRead() < reader.Height()) {
    ThrowIfCancelled(cancel);
    const int first = reader.RowsRead();
    const int count = std::min(bandRows, reader.Height() - first);
    for (int r = 0; r < count; ++r) rows[r] = band.data() + (count - 1 - r) * stride;
    ReadExactly(reader, rows.data(), count);
    writer.WriteBand(first, count, band.data());
  }
  writer.Finish();
}

void PlacePictureToBmp(PictureRowReader& reader, const std::string& target,
                       const Placement& placement, const ResampleFilter& filter, int threads,
                       const CancelFlag* cancel) {
  ThrowIfCancelled(cancel);
  BmpFileWriter writer(target, placement.canvasWidth, placement.canvasHeight, 24);
  PlacePictureRows(reader, placement, filter, threads, cancel,
                   [&writer](int first, int count, const std::uint8_t* band) {
                     writer.WriteBand(first, count, band);
                   });
  writer.Finish();
}

void PlacePictureRows(PictureRowReader& reader, const Placement& placement,
                      const ResampleFilter& filter, int threads, const CancelFlag* cancel,
                      const CanvasBandWriter& writer) {
  ThrowIfCancelled(cancel);
  const PictureRect& from = placement.source;
  const PictureRect& to = placement.target;
  const int bitsPerPixel = reader.BitsPerPixel();
  const std::size_t pixelBytes = static_cast<std::size_t>(bitsPerPixel / 8);
  const CanvasRows canvas(placement.canvasWidth, placement.background);
  canvas.WriteBlank(writer, 0, to.y);
  canvas.WriteBlank(writer, to.y + to.height, placement.canvasHeight - to.y - to.height);
  SkipRows(reader, from.y);

  if (from.width == to.width && from.height == to.height) {
    // Nothing to resample: the part's rows are copied into their place.
    const std::size_t partStride = PaddedRow(to.width);
    const int bandRows = static_cast<int>(std::clamp<std::size_t>(kBandBytes / partStride, 1, 256));
    std::vector<std::uint8_t> decoded(static_cast<std::size_t>(reader.Width()) * pixelBytes *
                                      bandRows);
    std::vector<std::uint8_t*> rows(bandRows);
    std::vector<std::uint8_t> band(partStride * bandRows, 0);
    for (int done = 0; done < from.height;) {
      ThrowIfCancelled(cancel);
      const int count = std::min(bandRows, from.height - done);
      for (int r = 0; r < count; ++r)
        rows[r] = decoded.data() + static_cast<std::size_t>(reader.Width()) * pixelBytes * r;
      ReadExactly(reader, rows.data(), count);
      for (int r = 0; r < count; ++r)
        ToColour(rows[r] + from.x * pixelBytes, bitsPerPixel, from.width,
                 band.data() + partStride * (count - 1 - r));
      canvas.WritePlaced(writer, to.y + done, count, to.x, to.width, band.data(), partStride);
      done += count;
    }
  } else if (CanResampleAsStream(from.width, from.height, to.width, to.height, filter)) {
    RowSource source;
    source.width = from.width;
    source.height = from.height;
    source.bitsPerPixel = bitsPerPixel;
    const bool cropsColumns = from.width != reader.Width();
    std::vector<std::uint8_t> wide;
    std::vector<std::uint8_t*> wideRows;
    source.read = [&](std::uint8_t* const* rows, int count) {
      if (!cropsColumns) return ReadExactly(reader, rows, count);
      // Whole rows are decoded aside and the part of each is handed on.
      const std::size_t rowBytes = static_cast<std::size_t>(reader.Width()) * pixelBytes;
      wide.resize(rowBytes * count);
      wideRows.resize(count);
      for (int r = 0; r < count; ++r) wideRows[r] = wide.data() + rowBytes * r;
      ReadExactly(reader, wideRows.data(), count);
      for (int r = 0; r < count; ++r)
        std::memcpy(rows[r], wideRows[r] + from.x * pixelBytes, from.width * pixelBytes);
    };
    BandSink sink;
    if (to.x == 0 && to.width == placement.canvasWidth) {
      // The part spans the canvas: its rows are the file's rows.
      sink.stride = canvas.stride;
      sink.write = [&writer, &to](int first, int count, const std::uint8_t* band) {
        writer(to.y + first, count, band);
      };
    } else {
      sink.stride = PaddedRow(to.width);
      sink.write = [&](int first, int count, const std::uint8_t* band) {
        canvas.WritePlaced(writer, to.y + first, count, to.x, to.width, band, sink.stride);
      };
    }
    ResampleStream(source, to.width, to.height, filter, sink, ConversionThreads(threads), cancel);
  } else {
    // Shrinking to a few dozen rows: a destination row reads more source rows than a stream
    // should keep. Such a part is resampled whole.
    Bitmap picture = Crop(reader.ReadPicture(), from);  // rows above the part stay black
    ThrowIfCancelled(cancel);
    Bitmap stretched(to.width, to.height, 24);
    Strecth(picture, stretched, filter.filter, filter.support);
    picture = Bitmap();
    ThrowIfCancelled(cancel);
    const std::size_t partStride = stretched.Stride();
    std::vector<std::uint8_t> band(partStride * to.height);
    for (int y = 0; y < to.height; ++y)
      std::memcpy(band.data() + partStride * (to.height - 1 - y), stretched.Row(y), partStride);
    canvas.WritePlaced(writer, to.y, to.height, to.x, to.width, band.data(), partStride);
  }
  SkipRows(reader, reader.Height() - reader.RowsRead());
}

void ResamplePictureToBmp(PictureRowReader& reader, const std::string& target, int width,
                          int height, const ResampleFilter& filter, int threads,
                          const CancelFlag* cancel) {
  PlacePictureToBmp(reader, target,
                    StretchPlacement(reader.Width(), reader.Height(), width, height), filter,
                    threads, cancel);
}

}  // namespace dova
