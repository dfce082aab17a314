#include "wallpaper/bmp_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "wallpaper/alpha_blend.h"
#include "wallpaper/bmp_header.h"
#include "wallpaper/bmp_rle.h"

namespace dova {

namespace {

// Rows are read from the file in bands of about this many bytes: one seek and one read for
// many rows, whichever way the file stores them.
constexpr std::size_t kBandBytes = 1 << 20;

constexpr char kCutShort[] = "the picture is damaged: the file is shorter than its pixel data";

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Bitmap files reach 4 GB, beyond the `long` of fseek on Windows.
bool SeekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

// One field of a 16- or 32-bit pixel, given by its mask, scaled to 8 bits.
class MaskField {
 public:
  explicit MaskField(std::uint32_t mask) : mask_(mask) {
    while (mask != 0 && (mask & 1) == 0) {
      mask >>= 1;
      ++shift_;
    }
    max_ = mask;
  }
  bool Empty() const { return mask_ == 0; }
  // A run of set bits, as every writer makes them.
  bool Contiguous() const { return (max_ & (max_ + 1)) == 0; }
  std::uint32_t Mask() const { return mask_; }
  // The field's value rounded to the nearest of 0..255; 0 for an empty field.
  unsigned Of(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    const std::uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<unsigned>((value * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_;
  int shift_ = 0;
  std::uint32_t max_ = 0;
};

std::uint32_t Get16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t Get32(const std::uint8_t* p) {
  return Get16(p) | (static_cast<std::uint32_t>(Get16(p + 2)) << 16);
}

}  // namespace

class BmpRowReader::Impl {
 public:
  Impl(const std::string& path, const PictureReadOptions& options)
      : name_(path),
        options_(options),
        background_(options.background),
        red_(0),
        green_(0),
        blue_(0),
        alpha_(0) {
    file_.reset(OpenFile(path, "rb"));
    if (!file_) throw Error("Unable to open the BMP picture " + path);
    ReadHeaders(FileSize(path));
  }

  int Width() const { return header_.width; }
  int Height() const { return header_.height; }
  int BitsPerPixel() const { return grey_ ? 8 : 24; }
  int RowsRead() const { return rowsRead_; }

  int ReadRows(std::uint8_t* const* rows, int count) {
    // A failure stands: the file was found damaged, or the work stopped.
    if (failed_) Fail(failure_);
    count = std::min(count, header_.height - rowsRead_);
    if (count <= 0) return 0;
    if (Rle()) return ReadRleRows(rows, count);
    for (int done = 0; done < count;) {
      CheckCancel();
      const int band = std::min(count - done, bandRows_);
      ReadBand(rowsRead_, band);
      for (int i = 0; i < band; ++i) {
        // A bottom-up band holds its rows from the lowest up.
        const int inBand = header_.topDown ? i : band - 1 - i;
        ConvertRow(band_.data() + static_cast<std::size_t>(inBand) * stride_, rows[done + i]);
      }
      done += band;
      rowsRead_ += band;
    }
    return count;
  }

 private:
  bool Rle() const { return header_.compression == kBmpRle8 || header_.compression == kBmpRle4; }

  void ReadHeaders(long long fileSize) {
    std::uint8_t head[kBmpHeadBytes];
    const std::size_t got = std::fread(head, 1, sizeof head, file_.get());
    std::string problem;
    if (!ParseBmpHeader(head, got, &header_, &problem)) Fail(problem);
    CheckKind();
    Check(SizeOverLimits(header_.width, header_.height, options_.limits));

    const int bits = header_.bitsPerPixel;
    stride_ = (static_cast<std::size_t>(header_.width) * bits + 31) / 32 * 4;
    if (header_.pixelOffset < header_.paletteOffset)
      Fail("the pixel data starts inside the headers");
    const std::uint64_t dataEnd =
        Rle() ? header_.pixelOffset + 1ull
              : header_.pixelOffset + static_cast<std::uint64_t>(stride_) * header_.height;
    if (fileSize < 0 || static_cast<std::uint64_t>(fileSize) < dataEnd) Fail(kCutShort);

    if (bits <= 8) ReadPalette();
    if (bits == 16 || bits == 32) ChooseMasks();
    bandRows_ = static_cast<int>(std::max<std::size_t>(1, kBandBytes / stride_));
    if (!alpha_.Empty()) useAlpha_ = AnyAlpha();
  }

  // The pictures read here, of all that the headers can describe.
  void CheckKind() {
    const int bits = header_.bitsPerPixel;
    const std::uint32_t compression = header_.compression;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
      Fail("bitmaps of " + std::to_string(bits) + " bits per pixel are not read");
    if (header_.os2 && (compression == kBmpBitfields || compression == kBmpJpeg))
      Fail("OS/2's Huffman and RLE24 encodings are not read");
    switch (compression) {
      case kBmpRgb:
        return;
      case kBmpRle8:
      case kBmpRle4:
        if (bits != (compression == kBmpRle8 ? 8 : 4))
          Fail("the run-length encoding does not match the bits per pixel");
        if (header_.topDown) Fail("a run-length encoded bitmap cannot be stored top-down");
        return;
      case kBmpBitfields:
      case kBmpAlphaBitfields:
        if (bits != 16 && bits != 32) Fail("colour masks are only for 16 or 32 bits per pixel");
        return;
      case kBmpJpeg:
      case kBmpPng:
        Fail("JPEG or PNG data inside a bitmap is not read");
      default:
        Fail("the bitmap's compression is of an unknown kind");
    }
  }

  // The palette, as much of it as lies before the pixel data; missing entries are black, and
  // so is any index past the palette's end.
  void ReadPalette() {
    const std::uint32_t possible = 1u << header_.bitsPerPixel;
    std::uint32_t entries =
        header_.coloursUsed == 0 ? possible : std::min(header_.coloursUsed, possible);
    const std::uint32_t room = (header_.pixelOffset - header_.paletteOffset) /
                               static_cast<std::uint32_t>(header_.paletteEntryBytes);
    entries = std::min(entries, room);
    std::vector<std::uint8_t> stored(entries * header_.paletteEntryBytes);
    if (!SeekTo(file_.get(), header_.paletteOffset) ||
        std::fread(stored.data(), 1, stored.size(), file_.get()) != stored.size())
      Fail(kCutShort);
    grey_ = !Rle();
    for (std::uint32_t i = 0; i < entries; ++i) {
      const std::uint8_t* entry = &stored[i * header_.paletteEntryBytes];
      std::memcpy(&palette_[i * 3], entry, 3);
      greyLevels_[i] = entry[0];
      grey_ = grey_ && entry[0] == entry[1] && entry[1] == entry[2];
    }
  }

  void ChooseMasks() {
    const bool bitfields =
        header_.compression == kBmpBitfields || header_.compression == kBmpAlphaBitfields;
    if (bitfields && (header_.redMask | header_.greenMask | header_.blueMask) != 0) {
      red_ = MaskField(header_.redMask);
      green_ = MaskField(header_.greenMask);
      blue_ = MaskField(header_.blueMask);
      alpha_ = MaskField(header_.alphaMask);
    } else if (header_.bitsPerPixel == 16) {
      red_ = MaskField(0x7C00);  // 5-5-5, the top bit unused
      green_ = MaskField(0x03E0);
      blue_ = MaskField(0x001F);
      alpha_ = MaskField(bitfields ? header_.alphaMask : 0);
    } else {
      red_ = MaskField(0xFF0000);
      green_ = MaskField(0x00FF00);
      blue_ = MaskField(0x0000FF);
      alpha_ = MaskField(bitfields ? header_.alphaMask : 0);
    }
    const MaskField* fields[] = {&red_, &green_, &blue_, &alpha_};
    std::uint32_t seen = 0;
    for (const MaskField* field : fields) {
      if (!field->Contiguous()) Fail("the bitmap's colour masks are not runs of bits");
      if ((seen & field->Mask()) != 0) Fail("the bitmap's colour masks overlap");
      seen |= field->Mask();
    }
    // The bytes in memory order, as 24-bit rows and BI_RGB's 32-bit ones have them.
    plainBgrx_ = header_.bitsPerPixel == 32 && red_.Mask() == 0xFF0000 &&
                 green_.Mask() == 0x00FF00 && blue_.Mask() == 0x0000FF;
  }

  // Writers that know nothing of alpha leave the mask's bits zero everywhere: such a picture is
  // opaque, not invisible.
  bool AnyAlpha() {
    const int bytes = header_.bitsPerPixel / 8;
    for (int y = 0; y < header_.height; y += bandRows_) {
      CheckCancel();
      const int band = std::min(bandRows_, header_.height - y);
      ReadBand(y, band);
      for (int row = 0; row < band; ++row) {
        const std::uint8_t* p = band_.data() + static_cast<std::size_t>(row) * stride_;
        for (int x = 0; x < header_.width; ++x, p += bytes) {
          const std::uint32_t pixel = bytes == 2 ? Get16(p) : Get32(p);
          if ((pixel & alpha_.Mask()) != 0) return true;
        }
      }
    }
    return false;
  }

  // File rows of picture rows first .. first + count - 1 into band_, as the file has them.
  void ReadBand(int first, int count) {
    const int fileRow = header_.topDown ? first : header_.height - first - count;
    const std::size_t bytes = stride_ * static_cast<std::size_t>(count);
    if (band_.size() < bytes) band_.resize(bytes);
    if (!SeekTo(file_.get(), header_.pixelOffset + static_cast<std::uint64_t>(fileRow) * stride_) ||
        std::fread(band_.data(), 1, bytes, file_.get()) != bytes)
      Fail(kCutShort);  // it was long enough when opened
  }

  void ConvertRow(const std::uint8_t* in, std::uint8_t* out) const {
    const int width = header_.width;
    switch (header_.bitsPerPixel) {
      case 1:
      case 4:
      case 8: {
        const int bits = header_.bitsPerPixel;
        const int perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x) {
          // The leftmost pixel in the highest bits.
          const int shift = (perByte - 1 - x % perByte) * bits;
          const unsigned index = (in[x / perByte] >> shift) & mask;
          if (grey_)
            out[x] = greyLevels_[index];
          else
            std::memcpy(out + x * 3, &palette_[index * 3], 3);
        }
        return;
      }
      case 24:
        std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
        return;
      default:
        break;
    }
    if (plainBgrx_ && !useAlpha_) {
      for (int x = 0; x < width; ++x, in += 4, out += 3) std::memcpy(out, in, 3);
      return;
    }
    const int bytes = header_.bitsPerPixel / 8;
    for (int x = 0; x < width; ++x, in += bytes, out += 3) {
      const std::uint32_t pixel = bytes == 2 ? Get16(in) : Get32(in);
      const unsigned blue = blue_.Of(pixel), green = green_.Of(pixel), red = red_.Of(pixel);
      if (useAlpha_) {
        const unsigned alpha = alpha_.Of(pixel);
        out[0] = BlendOver(blue, alpha, background_.blue);
        out[1] = BlendOver(green, alpha, background_.green);
        out[2] = BlendOver(red, alpha, background_.red);
      } else {
        out[0] = static_cast<std::uint8_t>(blue);
        out[1] = static_cast<std::uint8_t>(green);
        out[2] = static_cast<std::uint8_t>(red);
      }
    }
  }

  int ReadRleRows(std::uint8_t* const* rows, int count) {
    if (canvas_.empty()) DecodeRle();
    const std::size_t rowBytes = static_cast<std::size_t>(header_.width) * 3;
    for (int i = 0; i < count; ++i, ++rowsRead_)
      std::memcpy(rows[i], canvas_.data() + static_cast<std::size_t>(rowsRead_) * rowBytes,
                  rowBytes);
    return count;
  }

  void DecodeRle() {
    const std::uint64_t bytes = static_cast<std::uint64_t>(header_.width) * header_.height * 3;
    const auto limit = static_cast<std::uint64_t>(std::max(0L, options_.limits.maxLibraryMemory));
    if (bytes > limit) {
      Fail("the run-length encoded picture needs more than the " +
           (limit >= (1u << 20) ? std::to_string(limit >> 20) + " MB"
                                : std::to_string(limit >> 10) + " KB") +
           " of working memory allowed");
    }
    try {
      canvas_.resize(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
      Fail("there is not enough memory for the run-length encoded picture");
    }
    for (std::size_t i = 0; i < canvas_.size(); i += 3) {
      canvas_[i] = static_cast<std::uint8_t>(background_.blue);
      canvas_[i + 1] = static_cast<std::uint8_t>(background_.green);
      canvas_[i + 2] = static_cast<std::uint8_t>(background_.red);
    }
    if (!SeekTo(file_.get(), header_.pixelOffset)) Fail(kCutShort);
    try {
      DecodeBmpRle(file_.get(), header_.bitsPerPixel, palette_,
                   BmpRleCanvas{header_.width, header_.height, canvas_.data()}, options_.cancel);
    } catch (const ConversionCancelled&) {
      Stop();
    } catch (const Error& error) {
      Fail(error.what());
    }
  }

  // Fails with `reason` unless it is empty.
  void Check(const std::string& reason) {
    if (!reason.empty()) Fail(reason);
  }

  [[noreturn]] void Fail(const std::string& reason) {
    failed_ = true;
    failure_ = reason;
    if (cancelled_) throw ConversionCancelled();
    throw Error("Unable to decode the BMP picture " + name_ + ": " + reason);
  }

  void CheckCancel() {
    if (CancelRequested(options_.cancel)) Stop();
  }

  [[noreturn]] void Stop() {
    cancelled_ = true;
    Fail("stopped");
  }

  FilePtr file_;
  std::string name_;
  PictureReadOptions options_;
  BackgroundBgr background_;
  BmpHeader header_;
  std::size_t stride_ = 0;  // bytes of a row in the file, padded to four
  int bandRows_ = 1;
  std::uint8_t palette_[256 * 3] = {};  // blue, green, red
  std::uint8_t greyLevels_[256] = {};   // for an all-grey palette
  bool grey_ = false;
  MaskField red_, green_, blue_, alpha_;
  bool plainBgrx_ = false;
  bool useAlpha_ = false;
  std::vector<std::uint8_t> band_;
  std::vector<std::uint8_t> canvas_;  // an RLE picture, decoded whole
  int rowsRead_ = 0;
  bool failed_ = false;
  bool cancelled_ = false;
  std::string failure_;
};

BmpRowReader::BmpRowReader(const std::string& path, const PictureReadOptions& options)
    : impl_(std::make_unique<Impl>(path, options)) {}

BmpRowReader::~BmpRowReader() = default;

int BmpRowReader::Width() const { return impl_->Width(); }
int BmpRowReader::Height() const { return impl_->Height(); }
int BmpRowReader::BitsPerPixel() const { return impl_->BitsPerPixel(); }
int BmpRowReader::RowsRead() const { return impl_->RowsRead(); }

int BmpRowReader::ReadRows(std::uint8_t* const* rows, int count) {
  return impl_->ReadRows(rows, count);
}

std::string ReadBmpSize(const std::string& path) {
  FilePtr file(OpenFile(path, "rb"));
  if (!file) return std::string();
  std::uint8_t head[kBmpHeadBytes];
  const std::size_t got = std::fread(head, 1, sizeof head, file.get());
  BmpHeader header;
  std::string problem;
  if (!ParseBmpHeader(head, got, &header, &problem)) return std::string();
  return std::to_string(header.width) + "x" + std::to_string(header.height);
}

}  // namespace dova
