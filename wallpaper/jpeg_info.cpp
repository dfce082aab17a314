// The JPEG size reader. It walks the marker segments from the start of the file, skipping each
// segment's contents with fseek, until a start-of-frame segment gives the size or a start of
// scan, an end of image or the end of the file ends the walk. The marker search is deliberately
// lenient in the ways files in the wild need (fill bytes, comments whose length is a byte or two
// short) and strict elsewhere, so that the sizes shown in the list stay the ones users know.
#include "wallpaper/jpeg_info.h"

#include <cstdint>
#include <cstdio>

#include "platform/file_system.h"

namespace dova {

namespace {

constexpr int kEndOfImage = 0xD9;
constexpr int kStartOfScan = 0xDA;
constexpr int kStartOfImage = 0xD8;
constexpr int kComment = 0xFE;
constexpr int kMaxSearchBytes = 10;

struct JpegSize {
  std::uint16_t width = 0;  // 0: no size found
  std::uint16_t height = 0;
};

bool IsStartOfFrame(int marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// A big-endian 16-bit value; false (and 0) when the file ends before both bytes.
bool Read16(std::FILE* file, std::uint16_t& value) {
  const int high = std::fgetc(file);
  const int low = high == EOF ? EOF : std::fgetc(file);
  if (low == EOF) {
    value = 0;
    return false;
  }
  value = static_cast<std::uint16_t>((high << 8) | low);
  return true;
}

// The next marker code. `previous` is the marker just handled, `first` whether this is the
// file's first search (which accepts a code without a 0xFF prefix).
int NextMarker(std::FILE* file, int previous, bool first) {
  // Bytes a comment's short length left unskipped may stand in for the 0xFF prefix.
  int tolerated = previous == kComment ? 2 : 0;
  int counter = first ? 1 : 0;
  int code;
  for (;;) {
    code = std::fgetc(file);
    if (code == EOF) return kEndOfImage;
    if (tolerated > 0) {
      if (code == 0xFF)
        tolerated = 0;
      else {
        --tolerated;
        code = 0xFF;
      }
    }
    if (++counter > kMaxSearchBytes) return kEndOfImage;
    if (code != 0xFF) break;
  }
  // A code read as the very first byte of a later search had no prefix at all.
  return counter < 2 ? kEndOfImage : code;
}

JpegSize WalkHeader(std::FILE* file) {
  JpegSize size;
  int previous = 0xFFD8;  // no single-byte marker
  bool first = true;
  for (;;) {
    const int marker = NextMarker(file, previous, first);
    first = false;
    previous = marker;
    if (IsStartOfFrame(marker)) {
      // Skip the segment length and the sample precision; the height comes before the width.
      std::fseek(file, 3, SEEK_CUR);
      Read16(file, size.height);
      Read16(file, size.width);
      return size;
    }
    if (marker == kStartOfImage) continue;
    if (marker == kEndOfImage || marker == kStartOfScan) return JpegSize();
    std::uint16_t length;
    // A length cut off by the end of the file ends the walk: seeking back over it would find
    // the same marker again, for ever.
    if (!Read16(file, length)) return JpegSize();
    // The length counts its own two bytes; one below 2 moves back.
    std::fseek(file, static_cast<long>(length) - 2, SEEK_CUR);
  }
}

}  // namespace

std::string ReadJpegSize(const std::string& path) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return std::string();
  const JpegSize size = WalkHeader(file);
  std::fclose(file);
  if (size.width == 0) return std::string();
  char text[16];
  std::snprintf(text, sizeof text, "%dx%d", static_cast<int>(size.width),
                static_cast<int>(size.height));
  return text;
}

}  // namespace dova
