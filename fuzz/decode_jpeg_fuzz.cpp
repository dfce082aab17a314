// Feeds arbitrary bytes to the JPEG decoder. A broken file may only end in dova::Error; any other
// exception, a crash, a leak or an endless decode is a fault. A decoded picture must be one the
// limits allow, with rows as long as its width needs, and the file source must give exactly
// the picture the memory source gives from the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz/fuzz_input_file.h"
#include "platform/error.h"
#include "wallpaper/bitmap.h"
#include "wallpaper/jpeg_decoder.h"

namespace {

// The program's limits scaled down from 120 to 4 million pixels, keeping their proportions
// (25 scans of the largest picture, about 4 bytes of library memory a pixel). At full size a
// 3 KB file claiming 12000x10000 pixels takes seconds to decode, twice here, which would drown
// the search in slow inputs and report them as timeouts; small limits are reached and refused
// by the same code.
dova::JpegLimits FuzzLimits() {
  dova::JpegLimits limits;
  limits.maxPixels = 4'000'000;
  limits.maxScanPixels = 25 * limits.maxPixels;
  limits.maxLibraryMemory = 16L << 20;
  return limits;
}

[[noreturn]] void Fail(const char* what, const dova::Bitmap& picture) {
  std::fprintf(stderr, "decoded picture %dx%d, %d bits, stride %zu: %s\n", picture.Width(),
               picture.Height(), picture.BitsPerPixel(), picture.Stride(), what);
  std::abort();
}

void CheckShape(const dova::Bitmap& picture, const dova::JpegLimits& limits) {
  const long long width = picture.Width();
  const long long height = picture.Height();
  if (width < 1 || height < 1) Fail("an empty picture came out without an error", picture);
  if (width > limits.maxDimension || height > limits.maxDimension ||
      width * height > limits.maxPixels)
    Fail("larger than the limits allow", picture);
  if (picture.BitsPerPixel() != 8 && picture.BitsPerPixel() != 24)
    Fail("neither 8 nor 24 bits per pixel", picture);
  const std::size_t rowBytes = static_cast<std::size_t>(width) * picture.BytesPerPixel();
  if (picture.Stride() != ((rowBytes + 3) & ~static_cast<std::size_t>(3)))
    Fail("the stride is not the row rounded up to four bytes", picture);
  // The library wrote the rows without instrumentation; reading the last byte of every row
  // here lets AddressSanitizer tell whether the buffer is really that large.
  volatile std::uint8_t sink = 0;
  for (int y = 0; y < picture.Height(); ++y) sink = sink ^ picture.Row(y)[picture.Stride() - 1];
  (void)sink;
}

// The picture from the file source, or nothing with why in `reason`.
std::optional<dova::Bitmap> TryDecodeFile(const std::string& path, const dova::JpegLimits& limits,
                                          std::string& reason) {
  try {
    return dova::DecodeJpegFile(path, limits);
  } catch (const dova::Error& error) {
    reason = error.what();
    return std::nullopt;
  }
}

void CheckSameAsFile(const dova::Bitmap& fromMemory, const std::optional<dova::Bitmap>& fromFile,
                     const std::string& reason) {
  if (!fromFile) {
    std::fprintf(stderr, "%s\n", reason.c_str());
    Fail("decoded from memory, but the same bytes failed from a file", fromMemory);
  }
  if (fromFile->Width() != fromMemory.Width() || fromFile->Height() != fromMemory.Height() ||
      fromFile->BitsPerPixel() != fromMemory.BitsPerPixel() ||
      fromFile->Stride() != fromMemory.Stride())
    Fail("the file source gave a picture of another shape", fromMemory);
  for (int y = 0; y < fromMemory.Height(); ++y) {
    if (std::memcmp(fromMemory.Row(y), fromFile->Row(y), fromMemory.Stride()) != 0)
      Fail("the file source gave other pixels", fromMemory);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static dova::FuzzInputFile input;
  static const dova::JpegLimits limits = FuzzLimits();
  std::optional<dova::Bitmap> fromMemory;
  try {
    fromMemory = dova::DecodeJpegMemory(data, size, limits);
  } catch (const dova::Error&) {
    // Refused or broken beyond decoding: the file source must refuse it too.
    std::string reason;
    if (std::optional<dova::Bitmap> fromFile =
            TryDecodeFile(input.Write(data, size), limits, reason)) {
      std::fprintf(stderr, "decoding from memory failed, but from a file gave %dx%d\n",
                   fromFile->Width(), fromFile->Height());
      std::abort();
    }
    return 0;
  }
  CheckShape(*fromMemory, limits);
  std::string reason;
  const std::optional<dova::Bitmap> fromFile =
      TryDecodeFile(input.Write(data, size), limits, reason);
  CheckSameAsFile(*fromMemory, fromFile, reason);
  return 0;
}
