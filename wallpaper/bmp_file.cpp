// Windows BMP files: a 14-byte BITMAPFILEHEADER, a 40-byte BITMAPINFOHEADER, for 8-bit pictures
// a 256-entry grey palette, then the rows bottom-up, each padded to four bytes. All numbers are
// little-endian.
#include "wallpaper/bmp_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file_replacement.h"
#include "platform/file_system.h"

namespace dova {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kLargestInfoHeaderSize = 124;  // BITMAPV5HEADER
constexpr std::uint32_t kPaletteSize = 256 * 4;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dots per inch
constexpr std::uint32_t kUncompressed = 0;      // BI_RGB

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::uint32_t Get16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t Get32(const std::uint8_t* p) { return Get16(p) | (Get16(p + 2) << 16); }

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::size_t RowStride(int width, int bitsPerPixel) {
  return (static_cast<std::size_t>(width) * bitsPerPixel / 8 + 3) & ~static_cast<std::size_t>(3);
}

std::uint32_t PixelOffset(int bitsPerPixel) {
  return kFileHeaderSize + kInfoHeaderSize + (bitsPerPixel == 8 ? kPaletteSize : 0);
}

// The file's size, checked against what a bitmap file can describe.
std::uint64_t FileSizeFor(int width, int height, int bitsPerPixel, const std::string& path) {
  if (width < 1 || height < 1) throw Error("Unable to write an empty picture to " + path);
  const std::uint64_t size = PixelOffset(bitsPerPixel) +
                             static_cast<std::uint64_t>(RowStride(width, bitsPerPixel)) * height;
  if (size > 0xFFFFFFFFu) throw Error("The picture is too large for a bitmap file: " + path);
  return size;
}

std::vector<std::uint8_t> Headers(int width, int height, int bitsPerPixel) {
  const std::uint32_t pixelOffset = PixelOffset(bitsPerPixel);
  const std::uint64_t imageSize =
      static_cast<std::uint64_t>(RowStride(width, bitsPerPixel)) * height;
  std::vector<std::uint8_t> out;
  out.reserve(pixelOffset);
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<std::uint32_t>(pixelOffset + imageSize));
  Put32(out, 0);  // two reserved words
  Put32(out, pixelOffset);
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom row first
  Put16(out, 1);                                   // planes
  Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
  Put32(out, kUncompressed);
  Put32(out, static_cast<std::uint32_t>(imageSize));
  Put32(out, kPixelsPerMetre);
  Put32(out, kPixelsPerMetre);
  const bool grey = bitsPerPixel == 8;
  Put32(out, grey ? 256 : 0);  // colours used
  Put32(out, 0);               // all colours important
  if (grey) {
    for (std::uint32_t i = 0; i < 256; ++i) {
      out.insert(out.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                             static_cast<std::uint8_t>(i), 0});
    }
  }
  return out;
}

// Throws the error of a bitmap that could not be written whole; the replacement has removed its
// copy, so `path` is as it was.
[[noreturn]] void WriteFailed(const FileReplacement& file) {
  std::string text = "Unable to write to " + file.Path();
  if (file.Error()) text += std::string(" (") + std::strerror(file.Error()) + ")";
  throw Error(text);
}

}  // namespace

void SaveBmpFile(const Bitmap& picture, const std::string& path) {
  if (picture.Empty()) throw Error("Unable to write an empty picture to " + path);
  FileSizeFor(picture.Width(), picture.Height(), picture.BitsPerPixel(), path);
  const std::size_t rowBytes = static_cast<std::size_t>(picture.Width()) * picture.BytesPerPixel();
  const std::size_t stride = RowStride(picture.Width(), picture.BitsPerPixel());

  FileReplacement file(path);
  const std::vector<std::uint8_t> headers =
      Headers(picture.Width(), picture.Height(), picture.BitsPerPixel());
  bool written = file.Write(headers.data(), headers.size());
  const std::uint8_t padding[3] = {0, 0, 0};
  for (int y = picture.Height() - 1; y >= 0 && written; --y)
    written = file.Write(picture.Row(y), rowBytes) && file.Write(padding, stride - rowBytes);
  if (!written || !file.Commit()) WriteFailed(file);
}

BmpFileWriter::BmpFileWriter(const std::string& path, int width, int height, int bitsPerPixel)
    : width_(width),
      height_(height),
      bitsPerPixel_(bitsPerPixel),
      stride_(RowStride(width, bitsPerPixel)),
      pixelOffset_(PixelOffset(bitsPerPixel)) {
  if (bitsPerPixel != 8 && bitsPerPixel != 24)
    throw Error("Unable to write a picture of " + std::to_string(bitsPerPixel) + " bits to " +
                path);
  FileSizeFor(width, height, bitsPerPixel, path);
  file_ = std::make_unique<FileReplacement>(path);
  const std::vector<std::uint8_t> headers = Headers(width, height, bitsPerPixel);
  if (!file_->Write(headers.data(), headers.size())) WriteFailed(*file_);
}

BmpFileWriter::~BmpFileWriter() = default;

void BmpFileWriter::WriteBand(int first, int count, const std::uint8_t* band) {
  if (count <= 0) return;
  const std::lock_guard<std::mutex> lock(mutex_);
  // The file holds the bottom row first: the band's last row is the one nearest the start.
  const std::uint64_t offset =
      pixelOffset_ + static_cast<std::uint64_t>(height_ - first - count) * stride_;
  if (!file_->WriteAt(offset, band, stride_ * static_cast<std::size_t>(count))) WriteFailed(*file_);
  rowsWritten_ += count;
}

void BmpFileWriter::WritePixels(int row, int x, int count, const std::uint8_t* pixels, int rows,
                                std::ptrdiff_t step) {
  if (count <= 0 || rows <= 0) return;
  const std::lock_guard<std::mutex> lock(mutex_);
  if (bitsPerPixel_ != 24 || row < 0 || row + rows > height_ || x < 0 || x + count > width_) {
    file_->Abandon();
    WriteFailed(*file_);
  }
  // A row's padding goes with its last pixel, so the pieces of a row fill it whole.
  const std::size_t bytes = static_cast<std::size_t>(count) * 3;
  const std::size_t padding =
      x + count == width_ ? stride_ - static_cast<std::size_t>(width_) * 3 : 0;
  static const std::uint8_t kPadding[3] = {0, 0, 0};
  for (int r = 0; r < rows; ++r) {
    const std::uint64_t offset = pixelOffset_ +
                                 static_cast<std::uint64_t>(height_ - 1 - row - r) * stride_ +
                                 static_cast<std::uint64_t>(x) * 3;
    if (!file_->WriteAt(offset, pixels + step * r, bytes) ||
        (padding && !file_->WriteAt(offset + bytes, kPadding, padding)))
      WriteFailed(*file_);
  }
  pixelsWritten_ += static_cast<long long>(count) * rows;
}

void BmpFileWriter::Finish() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (rowsWritten_ * width_ + pixelsWritten_ != static_cast<long long>(width_) * height_)
    file_->Abandon();
  if (!file_->Commit()) WriteFailed(*file_);
}

Bitmap LoadBmpFile(const std::string& path) {
  FilePtr file(OpenFile(path, "rb"));
  if (!file) throw Error("Unable to open " + path);
  const auto notBitmap = [&path](const char* why) {
    return Error(path + " is not a bitmap file this program reads: " + why);
  };

  std::uint8_t header[kFileHeaderSize + kInfoHeaderSize];
  if (std::fread(header, 1, sizeof header, file.get()) != sizeof header)
    throw notBitmap("too short");
  if (header[0] != 'B' || header[1] != 'M') throw notBitmap("no \"BM\" signature");
  const std::uint32_t pixelOffset = Get32(header + 10);
  const std::uint8_t* info = header + kFileHeaderSize;
  const std::uint32_t infoSize = Get32(info);
  const std::int32_t width = static_cast<std::int32_t>(Get32(info + 4));
  const std::int32_t rawHeight = static_cast<std::int32_t>(Get32(info + 8));
  const std::uint32_t planes = Get16(info + 12);
  const std::uint32_t bits = Get16(info + 14);
  const std::uint32_t compression = Get32(info + 16);
  std::uint32_t coloursUsed = Get32(info + 32);
  if (infoSize < kInfoHeaderSize || infoSize > kLargestInfoHeaderSize)
    throw notBitmap("unknown header");
  if (planes != 1 || (bits != 8 && bits != 24)) throw notBitmap("not 8 or 24 bits per pixel");
  if (compression != kUncompressed) throw notBitmap("compressed");
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || width > 65535 ||
      rawHeight > 65535 || rawHeight < -65535)
    throw notBitmap("bad size");
  const bool bottomUp = rawHeight > 0;
  const int height = bottomUp ? rawHeight : -rawHeight;
  if (bits == 8 && coloursUsed == 0) coloursUsed = 256;
  if (bits == 8 && coloursUsed > 256) throw notBitmap("bad palette");

  // The palette follows the info header, whatever its size.
  std::vector<std::uint8_t> palette(bits == 8 ? coloursUsed * 4 : 0);
  if (std::fseek(file.get(), static_cast<long>(kFileHeaderSize + infoSize), SEEK_SET) != 0 ||
      std::fread(palette.data(), 1, palette.size(), file.get()) != palette.size())
    throw notBitmap("truncated palette");
  // A 24-bit file may name a number of colours too; it has no palette to look at.
  bool greyPalette = true;
  for (std::uint32_t i = 0; i < palette.size() / 4; ++i) {
    const std::uint8_t* entry = &palette[i * 4];
    greyPalette = greyPalette && entry[0] == i && entry[1] == i && entry[2] == i;
  }

  // Refuse sizes the file cannot hold before allocating anything of that size.
  const std::size_t stride = (static_cast<std::size_t>(width) * bits / 8 + 3) & ~std::size_t{3};
  const long long fileSize = FileSize(path);
  if (fileSize < 0 || static_cast<unsigned long long>(fileSize) <
                          pixelOffset + static_cast<unsigned long long>(stride) * height)
    throw notBitmap("truncated pixel data");
  if (std::fseek(file.get(), static_cast<long>(pixelOffset), SEEK_SET) != 0)
    throw notBitmap("bad pixel offset");

  const bool keepGrey = bits == 8 && greyPalette;
  Bitmap picture(width, height, keepGrey ? 8 : 24);
  std::vector<std::uint8_t> row(stride);
  for (int i = 0; i < height; ++i) {
    if (std::fread(row.data(), 1, stride, file.get()) != stride)
      throw notBitmap("truncated pixel data");
    std::uint8_t* out = picture.Row(bottomUp ? height - 1 - i : i);
    if (bits == 24 || keepGrey) {
      std::memcpy(out, row.data(), static_cast<std::size_t>(width) * bits / 8);
      continue;
    }
    for (int x = 0; x < width; ++x, out += 3) {
      const std::uint32_t index = row[x];
      if (index >= coloursUsed) throw notBitmap("colour index outside the palette");
      std::memcpy(out, &palette[index * 4], 3);
    }
  }
  return picture;
}

}  // namespace dova
