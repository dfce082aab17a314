// Feeds arbitrary bytes, as a file, to the PNG and BMP decoders through OpenPictureReader, as
// the program opens a picture (JPEG files are decode_jpeg_fuzz's). A broken file may only end in
// dova::Error; any other exception, a crash, a leak or an endless decode is a fault. A decoded
// picture must keep to the limits, have the size ReadPictureSize reads from the same file, and
// the same pixels whether it is read whole or a few rows at a time.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input_file.h"
#include "platform/error.h"
#include "wallpaper/bitmap.h"
#include "wallpaper/picture_reader.h"

namespace {

// The program's limits scaled down, as decode_jpeg_fuzz does: a few kilobytes of PNG can
// inflate to the largest picture allowed, and an RLE bitmap is painted whole.
dova::PictureReadOptions FuzzOptions() {
  dova::PictureReadOptions options;
  options.limits.maxPixels = 1'000'000;
  options.limits.maxDimension = 4096;
  options.limits.maxLibraryMemory = 8L << 20;
  options.background = 0x336699;
  return options;
}

std::optional<dova::Bitmap> ReadWhole(const std::string& path,
                                      const dova::PictureReadOptions& options) {
  try {
    return dova::OpenPictureReader(path, options)->ReadPicture();
  } catch (const dova::Error&) {
    return std::nullopt;
  }
}

// The same picture, three rows a call into a bitmap of the size the reader gives.
std::optional<dova::Bitmap> ReadInBands(const std::string& path,
                                        const dova::PictureReadOptions& options) {
  try {
    const std::unique_ptr<dova::PictureRowReader> reader = dova::OpenPictureReader(path, options);
    dova::Bitmap picture(reader->Width(), reader->Height(), reader->BitsPerPixel());
    while (reader->RowsRead() < picture.Height()) {
      std::uint8_t* rows[3];
      const int first = reader->RowsRead();
      for (int i = 0; i < 3; ++i) rows[i] = picture.Row(std::min(picture.Height() - 1, first + i));
      if (reader->ReadRows(rows, 3) == 0) dova::FuzzFailure("no rows before the picture's end");
    }
    return picture;
  } catch (const dova::Error&) {
    return std::nullopt;
  }
}

void CheckShape(const dova::Bitmap& picture, const dova::PictureLimits& limits) {
  const long long width = picture.Width();
  const long long height = picture.Height();
  dova::FuzzCheck(width >= 1 && height >= 1, "an empty picture came out without an error");
  dova::FuzzCheck(width <= limits.maxDimension && height <= limits.maxDimension &&
                      width * height <= limits.maxPixels,
                  "larger than the limits allow");
  dova::FuzzCheck(picture.BitsPerPixel() == 8 || picture.BitsPerPixel() == 24,
                  "neither 8 nor 24 bits per pixel");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static dova::FuzzInputFile input;
  static const dova::PictureReadOptions options = FuzzOptions();
  const dova::PictureFormat format = dova::PictureFormatOf(
      std::string(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 18)));
  if (format == dova::PictureFormat::kJpeg) return 0;
  const std::string& path = input.Write(data, size);

  const std::optional<dova::Bitmap> whole = ReadWhole(path, options);
  const std::optional<dova::Bitmap> banded = ReadInBands(path, options);
  dova::FuzzCheck(whole.has_value() == banded.has_value(),
                  "read whole and read in bands, the same file gave a picture only one way");
  if (!whole) return 0;
  dova::FuzzCheck(format != dova::PictureFormat::kUnknown, "a picture of no known format");
  CheckShape(*whole, options.limits);
  dova::FuzzCheck(dova::ReadPictureSize(path) ==
                      std::to_string(whole->Width()) + "x" + std::to_string(whole->Height()),
                  "the size reader disagrees with the decoder");
  dova::FuzzCheck(banded->Width() == whole->Width() && banded->Height() == whole->Height() &&
                      banded->BitsPerPixel() == whole->BitsPerPixel(),
                  "read in bands, the picture has another shape");
  const std::size_t rowBytes = static_cast<std::size_t>(whole->Width()) * whole->BytesPerPixel();
  for (int y = 0; y < whole->Height(); ++y)
    dova::FuzzCheck(std::memcmp(whole->Row(y), banded->Row(y), rowBytes) == 0,
                    "read in bands, the picture has other pixels");
  return 0;
}
