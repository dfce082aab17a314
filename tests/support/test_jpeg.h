// Small real JPEG files for tests and benchmarks, written with libjpeg, so that the size reader
// and the decoder see the files they see in use.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "wallpaper/jpeg_library.h"

namespace dova::testing {

// Writes a width x height picture of one colour as a baseline JPEG at `path` (a core path).
// `textured` draws a busy pattern instead, which costs the decoder what a photograph does (a
// picture of one colour decodes many times faster).
inline void WriteTestJpeg(const std::string& path, int width, int height, unsigned char red = 200,
                          unsigned char green = 40, unsigned char blue = 40,
                          bool textured = false) {
  std::FILE* file = OpenFile(path, "wb");
  if (!file) throw Error("cannot write " + path);
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 85, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
  for (int x = 0; x < width; ++x) {
    row[x * 3] = red;
    row[x * 3 + 1] = green;
    row[x * 3 + 2] = blue;
  }
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; textured && x < width; ++x) {
      row[x * 3] = static_cast<JSAMPLE>((x ^ y) + red);
      row[x * 3 + 1] = static_cast<JSAMPLE>(((x * 3) ^ (y * 5)) + green);
      row[x * 3 + 2] = static_cast<JSAMPLE>(((x * y) >> 3) + blue);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

}  // namespace dova::testing
