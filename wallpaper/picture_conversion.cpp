#include "wallpaper/picture_conversion.h"

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include "wallpaper/bmp_file.h"
#include "wallpaper/resample_stream.h"

namespace dova {

namespace {

constexpr std::size_t kBandBytes = std::size_t{1} << 20;  // rows written to the file at once
constexpr int kMostThreads = 64;

}  // namespace

int ConversionThreads(int requested) {
  if (requested > 0) return std::min(requested, kMostThreads);
  const unsigned processors = std::thread::hardware_concurrency();  // 0 when unknown
  return static_cast<int>(std::clamp<unsigned>(processors, 1, kMostThreads));
}

void WritePictureAsBmp(JpegRowReader& reader, const std::string& target,
                       const CancelFlag* cancel) {
  ThrowIfCancelled(cancel);
  BmpFileWriter writer(target, reader.Width(), reader.Height(), reader.BitsPerPixel());
  // Rows are decoded straight into a band laid out as the file holds it, bottom row first.
  const std::size_t stride = writer.Stride();
  const int bandRows = static_cast<int>(std::clamp<std::size_t>(
      kBandBytes / stride, 1, static_cast<std::size_t>(reader.Height())));
  std::vector<std::uint8_t> band(stride * bandRows, 0);
  std::vector<std::uint8_t*> rows(bandRows);
  while (reader.RowsRead() < reader.Height()) {
    ThrowIfCancelled(cancel);
    const int first = reader.RowsRead();
    const int count = std::min(bandRows, reader.Height() - first);
    for (int r = 0; r < count; ++r) rows[r] = band.data() + (count - 1 - r) * stride;
    for (int done = 0; done < count;) {
      const int read = reader.ReadRows(rows.data() + done, count - done);
      if (read == 0) throw Error("The JPEG picture ended before its last row");
      done += read;
    }
    writer.WriteBand(first, count, band.data());
  }
  writer.Finish();
}

void ResamplePictureToBmp(JpegRowReader& reader, const std::string& target, int width,
                          int height, const ResampleFilter& filter, int threads,
                          const CancelFlag* cancel) {
  ThrowIfCancelled(cancel);
  if (!CanResampleAsStream(reader.Width(), reader.Height(), width, height, filter)) {
    // Shrinking to a few dozen rows: a destination row reads more source rows than a stream
    // should keep. Such a picture is resampled whole.
    Bitmap picture = reader.ReadPicture();
    ThrowIfCancelled(cancel);
    Bitmap stretched(width, height, 24);
    Strecth(picture, stretched, filter.filter, filter.support);
    picture = Bitmap();
    ThrowIfCancelled(cancel);
    SaveBmpFile(stretched, target);
    return;
  }
  BmpFileWriter writer(target, width, height, 24);
  RowSource source;
  source.width = reader.Width();
  source.height = reader.Height();
  source.bitsPerPixel = reader.BitsPerPixel();
  source.read = [&reader](std::uint8_t* const* rows, int count) {
    for (int done = 0; done < count;) {
      const int read = reader.ReadRows(rows + done, count - done);
      if (read == 0) throw Error("The JPEG picture ended before its last row");
      done += read;
    }
  };
  BandSink sink;
  sink.stride = writer.Stride();
  sink.write = [&writer](int first, int count, const std::uint8_t* band) {
    writer.WriteBand(first, count, band);
  };
  ResampleStream(source, width, height, filter, sink, ConversionThreads(threads), cancel);
  writer.Finish();
}

}  // namespace dova
