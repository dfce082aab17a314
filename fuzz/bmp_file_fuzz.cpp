// The program's own BMP reader on any file: it refuses what it does not read with dova::Error,
// never allocates for a size the file cannot hold, and a bitmap it reads is written and read
// back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input_file.h"
#include "platform/error.h"
#include "wallpaper/bitmap.h"
#include "wallpaper/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static dova::FuzzInputFile input;
  static dova::FuzzInputFile output;
  std::optional<dova::Bitmap> picture;
  try {
    picture = dova::LoadBmpFile(input.Write(data, size));
  } catch (const dova::Error&) {
    return 0;
  }
  dova::FuzzCheck(picture->Width() >= 1 && picture->Height() >= 1 && picture->Width() <= 65535 &&
                      picture->Height() <= 65535,
                  "a picture of an impossible size");
  dova::FuzzCheck(picture->BitsPerPixel() == 8 || picture->BitsPerPixel() == 24,
                  "neither 8 nor 24 bits per pixel");
  // A file's rows are at least a byte a pixel, padded to four bytes.
  const std::size_t smallestRow =
      (static_cast<std::size_t>(picture->Width()) + 3) & ~std::size_t{3};
  dova::FuzzCheck(static_cast<std::size_t>(picture->Height()) * smallestRow <= size,
                  "more pixels than the file holds");

  dova::SaveBmpFile(*picture, output.Path());
  const dova::Bitmap again = dova::LoadBmpFile(output.Path());
  dova::FuzzCheck(again.Width() == picture->Width() && again.Height() == picture->Height() &&
                      again.BitsPerPixel() == picture->BitsPerPixel(),
                  "the written bitmap reads back in another shape");
  const std::size_t rowBytes =
      static_cast<std::size_t>(picture->Width()) * picture->BytesPerPixel();
  for (int y = 0; y < picture->Height(); ++y)
    dova::FuzzCheck(std::memcmp(again.Row(y), picture->Row(y), rowBytes) == 0,
                    "the written bitmap reads back with other pixels");
  return 0;
}
