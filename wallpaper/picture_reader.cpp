#include "wallpaper/picture_reader.h"

#include <cstdio>
#include <vector>

#include "platform/file_system.h"
#include "wallpaper/jpeg_decoder.h"
#include "wallpaper/jpeg_info.h"

namespace dova {

Bitmap PictureRowReader::ReadPicture() {
  Bitmap picture(Width(), Height(), BitsPerPixel());
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

PictureFormat PictureFormatOf(const std::string& head) {
  if (head.size() >= 2 && head[0] == '\xFF' && head[1] == '\xD8') return PictureFormat::kJpeg;
  return PictureFormat::kUnknown;
}

namespace {

std::string FileHead(const std::string& path) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return std::string();
  char head[16];
  const std::size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  return std::string(head, got);
}

}  // namespace

std::unique_ptr<PictureRowReader> OpenPictureReader(const std::string& path,
                                                    const PictureReadOptions& options) {
  JpegLimits limits;
  limits.maxPixels = options.limits.maxPixels;
  limits.maxDimension = options.limits.maxDimension;
  limits.maxLibraryMemory = options.limits.maxLibraryMemory;
  return std::make_unique<JpegRowReader>(path, limits, options.cancel);
}

std::string ReadPictureSize(const std::string& path) {
  switch (PictureFormatOf(FileHead(path))) {
    case PictureFormat::kJpeg:
      return ReadJpegSize(path);
    default:
      return std::string();
  }
}

}  // namespace dova
