// Helpers for the wallpaper tests: whole-file reads and writes, and JPEG
// pictures made at test time by ImageMagick (and libjpeg-turbo's cjpeg where a test needs its
// options), with ImageMagick's own decoding of them to compare against. Only tests include this.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "wallpaper/alpha_blend.h"
#include "wallpaper/bitmap.h"

namespace dova::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// The external tools exist on the development machines and CI (Debian's imagemagick and
// libjpeg-turbo-progs), not under Wine.
#ifdef _WIN32
inline bool HaveTool(const char*) { return false; }
inline int RunCommand(const std::string&) { return -1; }
#else
inline bool HaveTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}
inline int RunCommand(const std::string& command) {
  return std::system((command + " 2>&1").c_str());
}
#endif

inline bool HaveImageMagick() {
  static const bool have = HaveTool("convert") && HaveTool("identify");
  return have;
}

inline std::string Quote(const std::string& path) { return "'" + path + "'"; }

// Runs "convert <arguments> <path>" and fails the test when it does not succeed.
inline void Convert(const std::string& arguments, const std::string& path) {
  const std::string command = "convert " + arguments + " " + Quote(path);
  ASSERT_EQ(RunCommand(command), 0) << command;
}

// A colourful picture with detail everywhere, the same on every run.
inline std::string PlasmaSource(int width, int height) {
  return "-seed 7 -size " + std::to_string(width) + "x" + std::to_string(height) +
         " plasma:fractal";
}

// ImageMagick's decoding of a picture file: blue-green-red rows, or grey rows when `grey`,
// top row first, without padding.
inline Bytes ImageMagickPixels(const std::string& path, bool grey) {
  const std::string raw = path + (grey ? ".gray" : ".rgb");
  const std::string command = "convert " + Quote(path) + " -colorspace sRGB -depth 8 " +
                              (grey ? "gray:" : "rgb:") + Quote(raw);
  EXPECT_EQ(RunCommand(command), 0) << command;
  Bytes pixels = ReadBytes(raw);
  if (!grey) {
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) std::swap(pixels[i], pixels[i + 2]);
  }
  return pixels;
}

// The picture's pixels without row padding.
// The pixels of a picture with transparency as ImageMagick reads them, blended over the colour
// red, green, blue by the readers' rule and packed blue-green-red: what a reader must give.
inline Bytes ImageMagickPixelsOver(const std::string& path, unsigned red, unsigned green,
                                   unsigned blue) {
  const std::string rgbaPath = path + ".rgba";
  EXPECT_EQ(RunCommand("convert " + Quote(path) + " -depth 8 rgba:" + Quote(rgbaPath)), 0);
  const Bytes rgba = ReadBytes(rgbaPath);
  Bytes expected;
  for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
    expected.push_back(BlendOver(rgba[i + 2], rgba[i + 3], blue));
    expected.push_back(BlendOver(rgba[i + 1], rgba[i + 3], green));
    expected.push_back(BlendOver(rgba[i], rgba[i + 3], red));
  }
  return expected;
}

inline Bytes PackedPixels(const Bitmap& picture) {
  Bytes pixels;
  const std::size_t rowBytes = static_cast<std::size_t>(picture.Width()) * picture.BytesPerPixel();
  for (int y = 0; y < picture.Height(); ++y)
    pixels.insert(pixels.end(), picture.Row(y), picture.Row(y) + rowBytes);
  return pixels;
}

struct PixelDifference {
  int largest = 0;
  double mean = 0;
};

inline PixelDifference ComparePixels(const Bytes& a, const Bytes& b) {
  PixelDifference difference;
  if (a.size() != b.size() || a.empty()) {
    difference.largest = 256;
    return difference;
  }
  long long total = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const int d = std::abs(int(a[i]) - int(b[i]));
    total += d;
    if (d > difference.largest) difference.largest = d;
  }
  difference.mean = double(total) / double(a.size());
  return difference;
}

// Offset of the last marker 0xFF `code` in a JPEG file, or npos. Entropy-coded data never holds
// a marker other than restart markers, so searching from the end is safe for segment markers.
inline std::size_t FindLastMarker(const Bytes& jpeg, std::uint8_t code) {
  for (std::size_t i = jpeg.size() - 1; i-- > 0;)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i;
  return std::string::npos;
}

// Offset of the start-of-frame segment's marker found by walking the segments, or npos.
inline std::size_t FindFrameHeader(const Bytes& jpeg) {
  std::size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    const std::uint8_t code = jpeg[at + 1];
    if (code == 0xFF) {
      ++at;  // fill byte
      continue;
    }
    if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) return at;
    if (code == 0xDA || code == 0xD9) break;
    at += 2 + ((jpeg[at + 2] << 8) | jpeg[at + 3]);
  }
  return std::string::npos;
}

// The picture with `segment` (marker, length and contents) inserted right after its SOI marker.
inline Bytes WithSegment(const Bytes& jpeg, const Bytes& segment) {
  Bytes out(jpeg.begin(), jpeg.begin() + 2);
  out.insert(out.end(), segment.begin(), segment.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

// An APP1 segment as cameras write it: "Exif", a small TIFF structure and a JPEG thumbnail
// (with a frame header of its own that readers must skip).
inline Bytes ExifSegment(const Bytes& thumbnail) {
  Bytes contents = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  contents.insert(contents.end(), thumbnail.begin(), thumbnail.end());
  const std::size_t length = contents.size() + 2;
  Bytes segment(2 + length);
  segment[0] = 0xFF;
  segment[1] = 0xE1;
  segment[2] = std::uint8_t(length >> 8);
  segment[3] = std::uint8_t(length);
  std::copy(contents.begin(), contents.end(), segment.begin() + 4);
  return segment;
}

// Writes a new size into the frame header, as a hostile file would claim it.
inline Bytes WithClaimedSize(Bytes jpeg, int width, int height) {
  const std::size_t frame = FindFrameHeader(jpeg);
  if (frame == std::string::npos) return jpeg;
  jpeg[frame + 5] = static_cast<std::uint8_t>(height >> 8);
  jpeg[frame + 6] = static_cast<std::uint8_t>(height);
  jpeg[frame + 7] = static_cast<std::uint8_t>(width >> 8);
  jpeg[frame + 8] = static_cast<std::uint8_t>(width);
  return jpeg;
}

}  // namespace dova::testing
