#include "wallpaper/picture_reader.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <vector>

#include "platform/file_system.h"
#include "wallpaper/bmp_header.h"
#include "wallpaper/bmp_reader.h"
#include "wallpaper/jpeg_decoder.h"
#include "wallpaper/jpeg_info.h"
#include "wallpaper/png_reader.h"

namespace dova {

Bitmap PictureRowReader::ReadPicture() {
  Bitmap picture;
  try {
    picture = Bitmap(Width(), Height(), BitsPerPixel());
  } catch (const std::bad_alloc&) {
    throw Error("Not enough memory for a picture of " + std::to_string(Width()) + "x" +
                std::to_string(Height()) + " pixels");
  }
  std::vector<std::uint8_t*> rows;
  rows.reserve(static_cast<std::size_t>(Height() - RowsRead()));
  for (int y = RowsRead(); y < Height(); ++y) rows.push_back(picture.Row(y));
  for (std::size_t done = 0; done < rows.size();) {
    const int read = ReadRows(rows.data() + done, static_cast<int>(rows.size() - done));
    if (read == 0) throw Error("The picture ended before its last row");
    done += static_cast<std::size_t>(read);
  }
  return picture;
}

std::string SizeOverLimits(long long width, long long height, const PictureLimits& limits) {
  if (width <= limits.maxDimension && height <= limits.maxDimension &&
      width * height <= limits.maxPixels)
    return std::string();
  return "the picture is " + std::to_string(width) + "x" + std::to_string(height) +
         " pixels, larger than the " + std::to_string(limits.maxPixels) + " pixels (at most " +
         std::to_string(limits.maxDimension) + " in either direction) that can be decoded";
}

PictureFormat PictureFormatOf(const std::string& head) {
  static const char kPngSignature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
  if (head.size() >= 2 && head[0] == '\xFF' && head[1] == '\xD8') return PictureFormat::kJpeg;
  if (head.size() >= 8 && std::memcmp(head.data(), kPngSignature, 8) == 0)
    return PictureFormat::kPng;
  if (head.size() >= 18 && head[0] == 'B' && head[1] == 'M') {
    const auto byte = [&head](std::size_t at) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(head[at]));
    };
    const std::uint32_t infoSize = byte(14) | byte(15) << 8 | byte(16) << 16 | byte(17) << 24;
    if (IsBmpInfoSize(infoSize)) return PictureFormat::kBmp;
  }
  return PictureFormat::kUnknown;
}

namespace {

std::string FileHead(const std::string& path) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return std::string();
  char head[18];
  const std::size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  return std::string(head, got);
}

}  // namespace

std::unique_ptr<PictureRowReader> OpenPictureReader(const std::string& path,
                                                    const PictureReadOptions& options) {
  switch (PictureFormatOf(FileHead(path))) {
    case PictureFormat::kPng:
      return std::make_unique<PngRowReader>(path, options);
    case PictureFormat::kBmp:
      return std::make_unique<BmpRowReader>(path, options);
    default:
      break;
  }
  JpegLimits limits;
  static_cast<PictureLimits&>(limits) = options.limits;
  return std::make_unique<JpegRowReader>(path, limits, options.cancel);
}

std::string ReadPictureSize(const std::string& path) {
  try {
    switch (PictureFormatOf(FileHead(path))) {
      case PictureFormat::kJpeg:
        return ReadJpegSize(path);
      case PictureFormat::kPng:
        return ReadPngSize(path);
      case PictureFormat::kBmp:
        return ReadBmpSize(path);
      default:
        return std::string();
    }
  } catch (const std::exception&) {
    return std::string();  // out of memory for a few bytes: no size to show
  }
}

}  // namespace dova
