#include "wallpaper/bmp_header.h"

#include <cstdint>
#include <string>

namespace dova {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

std::uint32_t Get16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t Get32(const std::uint8_t* p) {
  return Get16(p) | (static_cast<std::uint32_t>(Get16(p + 2)) << 16);
}

}  // namespace

bool IsBmpInfoSize(std::uint32_t size) {
  switch (size) {
    case 12:
    case 16:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
      return true;
    default:
      return false;
  }
}

bool ParseBmpHeader(const std::uint8_t* head, std::size_t size, BmpHeader* header,
                    std::string* problem) {
  const auto refuse = [problem](const char* why) {
    *problem = why;
    return false;
  };
  if (size < kFileHeaderSize + 4 || head[0] != 'B' || head[1] != 'M')
    return refuse("not a bitmap file");
  BmpHeader h;
  h.pixelOffset = Get32(head + 10);
  h.infoSize = Get32(head + kFileHeaderSize);
  if (!IsBmpInfoSize(h.infoSize)) return refuse("the bitmap's header is of an unknown kind");
  if (size < kFileHeaderSize + h.infoSize) return refuse("the file ends inside its header");
  const std::uint8_t* info = head + kFileHeaderSize;
  h.os2 = h.infoSize == 12 || h.infoSize == 16 || h.infoSize == 64;
  h.paletteOffset = kFileHeaderSize + h.infoSize;

  if (h.infoSize == kCoreHeaderSize) {
    // OS/2 1.x: 16-bit sides, always bottom-up, no compression, 3-byte palette entries.
    h.width = static_cast<int>(Get16(info + 4));
    h.height = static_cast<int>(Get16(info + 6));
    h.bitsPerPixel = static_cast<int>(Get16(info + 10));
    h.paletteEntryBytes = 3;
  } else {
    // The others share the first fields of BITMAPINFOHEADER; OS/2 2.x's 16-byte header stops
    // after the bits per pixel, leaving the rest zero.
    const std::int32_t width = static_cast<std::int32_t>(Get32(info + 4));
    const std::int32_t height = static_cast<std::int32_t>(Get32(info + 8));
    if (width <= 0) return refuse("the bitmap has no width");
    if (height == 0 || height == INT32_MIN) return refuse("the bitmap has no height");
    h.width = width;
    h.topDown = height < 0;
    h.height = h.topDown ? -height : height;
    h.bitsPerPixel = static_cast<int>(Get16(info + 14));
    if (h.infoSize >= kInfoHeaderSize) {
      h.compression = Get32(info + 16);
      h.coloursUsed = Get32(info + 32);
    }
    const bool bitfields =
        !h.os2 && (h.compression == kBmpBitfields || h.compression == kBmpAlphaBitfields);
    if (bitfields) {
      // A 40-byte header is followed by the masks; the larger ones hold them.
      std::uint32_t masks = kFileHeaderSize + kInfoHeaderSize;
      if (h.infoSize == kInfoHeaderSize) {
        const std::uint32_t maskBytes = h.compression == kBmpAlphaBitfields ? 16 : 12;
        if (size < masks + maskBytes) return refuse("the file ends inside its colour masks");
        h.paletteOffset += maskBytes;
      }
      h.redMask = Get32(head + masks);
      h.greenMask = Get32(head + masks + 4);
      h.blueMask = Get32(head + masks + 8);
      if (h.infoSize >= 56 || h.compression == kBmpAlphaBitfields)
        h.alphaMask = Get32(head + masks + 12);
    }
  }
  if (h.width == 0 || h.height == 0) return refuse("the bitmap has no size");
  *header = h;
  return true;
}

}  // namespace dova
