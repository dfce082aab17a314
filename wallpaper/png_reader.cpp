// PNG decoding with libpng. The library reports a fatal error by calling our error function,
// which must not return: it longjmps back into the PngDecoder method that called the library,
// which then returns false so that its caller can throw. Every such method sets its own jump
// point, no object with a destructor lives in the frames the jump crosses (the library's and our
// callbacks'), and the library's structures are released by the decoder's destructor on every
// path. The library's memory comes from our allocator, which counts it against the limit.
#include "wallpaper/png_reader.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "wallpaper/alpha_blend.h"

namespace dova {

namespace {

// The largest ancillary chunk the library may hold in memory at once (it skips ours anyway,
// but reads tRNS and PLTE), and how many it keeps: far above what real files carry.
constexpr png_alloc_size_t kChunkMemory = 8u << 20;
constexpr png_uint_32 kChunkCount = 128;

// Said by our read function; its own message, so that errors and warnings can tell it apart.
constexpr char kCutShort[] = "the file is cut short";

// "12 MB", or "300 KB" under a megabyte, into `out`.
void FormatMemory(char* out, std::size_t size, std::size_t bytes) {
  if (bytes >= (1u << 20))
    std::snprintf(out, size, "%zu MB", bytes >> 20);
  else
    std::snprintf(out, size, "%zu KB", bytes >> 10);
}

// The width and height in the IHDR chunk, which must follow the signature with length 13;
// false when the file does not start so. Reads from the file's current position.
bool ReadIhdrSize(std::FILE* file, std::uint32_t* width, std::uint32_t* height) {
  unsigned char head[24];
  if (std::fread(head, 1, sizeof head, file) != sizeof head) return false;
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  static const unsigned char kHeaderChunk[8] = {0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  if (std::memcmp(head, kSignature, 8) != 0 || std::memcmp(head + 8, kHeaderChunk, 8) != 0)
    return false;
  const auto big32 = [](const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
  };
  *width = big32(head + 16);
  *height = big32(head + 20);
  return *width != 0 && *height != 0 && *width <= 0x7FFFFFFFu && *height <= 0x7FFFFFFFu;
}

class PngDecoder {
 public:
  explicit PngDecoder(const PictureReadOptions& options) : options_(options) {}
  ~PngDecoder() {
    if (png_) png_destroy_read_struct(&png_, &info_, nullptr);
  }
  PngDecoder(const PngDecoder&) = delete;
  PngDecoder& operator=(const PngDecoder&) = delete;

  // Each of these returns false, with Reason() or Cancelled() telling why, when the library
  // failed, a limit was broken or the work was cancelled.
  // Reads from `file` up to the image data and chooses the transformations.
  bool ReadHeader(std::FILE* file);
  // Decodes the next row (of the current pass, for an interlaced picture) into `row`, which
  // holds RowBytes(); for a pass after the first it must hold that row of the earlier passes.
  bool ReadRow(std::uint8_t* row);
  // After the last row: reads the rest of the file, through the end of the image data (whose
  // checksum shows whether it was sound) to IEND.
  bool Finish();

  const std::string& Reason() const { return reason_; }
  bool Cancelled() const { return cancelled_; }
  // Why the image data, decoded to its end, is damaged; empty when it is not.
  const char* Damage() const { return damage_; }

  int Width() const { return static_cast<int>(width_); }
  int Height() const { return static_cast<int>(height_); }
  bool Grey() const { return grey_; }
  bool Alpha() const { return alpha_; }
  int Passes() const { return passes_; }
  std::size_t RowBytes() const { return rowBytes_; }
  // The library's memory still unused under the limit.
  std::size_t MemoryLeft() const { return memoryLimit_ - memoryUsed_; }

 private:
  enum class Stage { kHeader, kRows };

  static void OnError(png_structp png, png_const_charp message);
  static void OnWarning(png_structp png, png_const_charp message);
  static void OnRead(png_structp png, png_bytep data, std::size_t length);
  static png_voidp Allocate(png_structp png, png_alloc_size_t size);
  static void Release(png_structp png, png_voidp block);
  bool Failed() {
    reason_ = message_;
    return false;
  }
  bool ChooseOutput();

  PictureReadOptions options_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  std::FILE* file_ = nullptr;
  std::jmp_buf jump_;
  char message_[256] = {};
  char damage_[256] = {};
  std::string reason_;
  Stage stage_ = Stage::kHeader;
  bool cancelled_ = false;
  bool cutShort_ = false;
  bool outOfMemory_ = false;
  std::size_t memoryLimit_ = 0;
  std::size_t memoryUsed_ = 0;
  png_uint_32 width_ = 0;
  png_uint_32 height_ = 0;
  bool grey_ = false;
  bool alpha_ = false;
  int passes_ = 1;
  std::size_t rowBytes_ = 0;
};

void PngDecoder::OnError(png_structp png, png_const_charp message) {
  PngDecoder* self = static_cast<PngDecoder*>(png_get_error_ptr(png));
  if (self->cancelled_) {
    std::snprintf(self->message_, sizeof self->message_, "stopped");
  } else if (self->outOfMemory_) {
    char limit[32];
    FormatMemory(limit, sizeof limit, self->memoryLimit_);
    std::snprintf(self->message_, sizeof self->message_,
                  "the picture needs more than %s of working memory", limit);
  } else if (self->cutShort_) {
    std::snprintf(self->message_, sizeof self->message_, "the picture is damaged: %s", kCutShort);
  } else {
    // Past a sound header a fatal error is broken data, not a file of another kind.
    std::snprintf(self->message_, sizeof self->message_,
                  self->stage_ == Stage::kHeader ? "%s" : "the picture is damaged (%s)", message);
  }
  std::longjmp(self->jump_, 1);
}

// Most warnings are about ancillary chunks, which are skipped, and do not matter. What does is
// the image data's end: after the last row the library decodes the rest of the compressed
// stream only to check it, and reports a broken stream or checksum there as a warning on the
// IDAT chunk. Data beyond the stream's end ("Extra compressed data", "Too much image data",
// IDAT chunks after it) leaves the picture whole.
void PngDecoder::OnWarning(png_structp png, png_const_charp message) {
  PngDecoder* self = static_cast<PngDecoder*>(png_get_error_ptr(png));
  if (std::strncmp(message, "IDAT: ", 6) != 0 || self->damage_[0] != '\0') return;
  for (const char* surplus :
       {"Extra compressed data", "Too much image data", "Too many IDATs found"}) {
    if (std::strstr(message, surplus) != nullptr) return;
  }
  std::snprintf(self->damage_, sizeof self->damage_, "the picture is damaged (%s)", message);
}

// The library reads the file through here, in pieces of a chunk at most: a good place to see
// a cancellation while a long file is read, and the one place that sees the file end early.
void PngDecoder::OnRead(png_structp png, png_bytep data, std::size_t length) {
  PngDecoder* self = static_cast<PngDecoder*>(png_get_io_ptr(png));
  if (CancelRequested(self->options_.cancel)) {
    self->cancelled_ = true;
    png_error(png, "stopped");
  }
  if (std::fread(data, 1, length, self->file_) != length) {
    self->cutShort_ = true;
    png_error(png, kCutShort);
  }
}

// Every block carries its size in front of it, so that Release can take it off the count.
constexpr std::size_t kBlockHeader = alignof(std::max_align_t);

png_voidp PngDecoder::Allocate(png_structp png, png_alloc_size_t size) {
  PngDecoder* self = static_cast<PngDecoder*>(png_get_mem_ptr(png));
  if (size > self->memoryLimit_ - self->memoryUsed_) {
    self->outOfMemory_ = true;
    return nullptr;
  }
  unsigned char* block = static_cast<unsigned char*>(std::malloc(size + kBlockHeader));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &size, sizeof size);
  self->memoryUsed_ += size;
  return block + kBlockHeader;
}

void PngDecoder::Release(png_structp png, png_voidp pointer) {
  if (pointer == nullptr) return;
  PngDecoder* self = static_cast<PngDecoder*>(png_get_mem_ptr(png));
  unsigned char* block = static_cast<unsigned char*>(pointer) - kBlockHeader;
  png_alloc_size_t size;
  std::memcpy(&size, block, sizeof size);
  self->memoryUsed_ -= size;
  std::free(block);
}

bool PngDecoder::ReadHeader(std::FILE* file) {
  if (setjmp(jump_)) return Failed();
  file_ = file;
  memoryLimit_ = static_cast<std::size_t>(std::max(0L, options_.limits.maxLibraryMemory));
  png_ = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning, this, Allocate,
                                  Release);
  if (png_ == nullptr) {
    reason_ = "libpng could not start";
    return false;
  }
  info_ = png_create_info_struct(png_);
  if (info_ == nullptr) {
    reason_ = "libpng could not start";
    return false;
  }
  png_set_read_fn(png_, this, OnRead);
  const png_uint_32 side = static_cast<png_uint_32>(std::max(1, options_.limits.maxDimension));
  png_set_user_limits(png_, side, side);
  png_set_chunk_malloc_max(png_, std::min<png_alloc_size_t>(kChunkMemory, memoryLimit_));
  png_set_chunk_cache_max(png_, kChunkCount);
  // Every ancillary chunk but tRNS is skipped unread, and so are chunks the library does not know.
  png_set_keep_unknown_chunks(png_, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);

  png_read_info(png_, info_);
  if (!ChooseOutput()) return false;
  stage_ = Stage::kRows;
  return true;
}

bool PngDecoder::ChooseOutput() {
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(png_, info_, &width_, &height_, &depth, &colour, &interlace, nullptr, nullptr);
  reason_ = SizeOverLimits(width_, height_, options_.limits);
  if (!reason_.empty()) return false;

  const bool transparentColour = png_get_valid(png_, info_, PNG_INFO_tRNS) != 0;
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png_);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png_);
  if (transparentColour) png_set_tRNS_to_alpha(png_);
  // Rounded to the nearest 8-bit value rather than cut to the high byte.
  if (depth == 16) png_set_scale_16(png_);
  alpha_ = (colour & PNG_COLOR_MASK_ALPHA) != 0 || transparentColour;
  grey_ = (colour & PNG_COLOR_MASK_COLOR) == 0 && !alpha_;
  // Grey with alpha is blended in colour: the background need not be grey.
  if ((colour & PNG_COLOR_MASK_COLOR) == 0 && alpha_) png_set_gray_to_rgb(png_);
  png_set_bgr(png_);
  passes_ = png_set_interlace_handling(png_);
  png_read_update_info(png_, info_);

  rowBytes_ = png_get_rowbytes(png_, info_);
  const int channels = grey_ ? 1 : alpha_ ? 4 : 3;
  if (png_get_bit_depth(png_, info_) != 8 || png_get_channels(png_, info_) != channels ||
      rowBytes_ != static_cast<std::size_t>(width_) * channels) {
    reason_ = "the picture's pixels are of a kind this program does not read";
    return false;
  }
  return true;
}

bool PngDecoder::ReadRow(std::uint8_t* row) {
  if (setjmp(jump_)) return Failed();
  png_read_row(png_, row, nullptr);
  return true;
}

bool PngDecoder::Finish() {
  if (setjmp(jump_)) return Failed();
  png_read_end(png_, nullptr);
  return true;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

class PngRowReader::Impl {
 public:
  Impl(const std::string& path, const PictureReadOptions& options)
      : name_(path), background_(options.background), cancel_(options.cancel), decoder_(options) {
    file_.reset(OpenFile(path, "rb"));
    if (!file_) throw Error("Unable to open the PNG picture " + path);
    // The size first, as the other formats give it: libpng's own limit check says no more than
    // "Invalid IHDR data". A file that does not start with a sound IHDR is left to libpng's
    // judgement.
    std::uint32_t width = 0, height = 0;
    if (ReadIhdrSize(file_.get(), &width, &height)) {
      const std::string tooLarge = SizeOverLimits(width, height, options.limits);
      if (!tooLarge.empty()) Fail(tooLarge);
    }
    std::rewind(file_.get());
    Check(decoder_.ReadHeader(file_.get()));
  }

  const PngDecoder& decoder() const { return decoder_; }
  int RowsRead() const { return rowsRead_; }

  int ReadRows(std::uint8_t* const* rows, int count) {
    // After a failure the library's state is undefined: the failure stands.
    if (failed_) Fail(failure_);
    if (decoder_.Passes() > 1 && whole_.empty()) DecodeWhole();
    count = std::min(count, decoder_.Height() - rowsRead_);
    if (count <= 0) return 0;
    if (decoder_.Passes() == 1 && row_.empty()) row_.resize(decoder_.RowBytes());
    for (int i = 0; i < count; ++i) {
      const std::uint8_t* source;
      if (decoder_.Passes() > 1) {
        source = whole_.data() + static_cast<std::size_t>(rowsRead_) * decoder_.RowBytes();
      } else {
        CheckCancel();
        Check(decoder_.ReadRow(row_.data()));
        source = row_.data();
      }
      Convert(source, rows[i]);
      ++rowsRead_;
    }
    // The rows handed out are judged as a whole after the last one: a damaged picture throws
    // here, before its caller can finish what it made of them.
    if (rowsRead_ == decoder_.Height()) {
      Check(decoder_.Finish());
      if (decoder_.Damage()[0] != '\0') Fail(decoder_.Damage());
    }
    return count;
  }

 private:
  // An interlaced picture's passes each cover the whole picture: all of it is decoded before
  // the first row is whole.
  void DecodeWhole() {
    const std::size_t rowBytes = decoder_.RowBytes();
    const std::size_t bytes = rowBytes * static_cast<std::size_t>(decoder_.Height());
    if (bytes > decoder_.MemoryLeft()) {
      char left[32];
      FormatMemory(left, sizeof left, decoder_.MemoryLeft());
      Fail(std::string("the interlaced picture needs more than the ") + left +
           " of working memory left");
    }
    try {
      whole_.assign(bytes, 0);
    } catch (const std::bad_alloc&) {
      Fail("there is not enough memory for the interlaced picture");
    }
    for (int pass = 0; pass < decoder_.Passes(); ++pass) {
      for (int y = 0; y < decoder_.Height(); ++y) {
        CheckCancel();
        Check(decoder_.ReadRow(whole_.data() + static_cast<std::size_t>(y) * rowBytes));
      }
    }
  }

  void Convert(const std::uint8_t* source, std::uint8_t* out) const {
    const std::size_t width = static_cast<std::size_t>(decoder_.Width());
    if (decoder_.Grey())
      std::memcpy(out, source, width);
    else if (!decoder_.Alpha())
      std::memcpy(out, source, width * 3);
    else
      BlendRowOver(source, decoder_.Width(), background_, out);
  }

  void CheckCancel() {
    if (!CancelRequested(cancel_)) return;
    failed_ = true;
    cancelled_ = true;
    throw ConversionCancelled();
  }

  void Check(bool succeeded) {
    if (succeeded) return;
    if (decoder_.Cancelled()) {
      failed_ = true;
      cancelled_ = true;
      throw ConversionCancelled();
    }
    Fail(decoder_.Reason());
  }

  [[noreturn]] void Fail(const std::string& reason) {
    failed_ = true;
    failure_ = reason;
    if (cancelled_) throw ConversionCancelled();
    throw Error("Unable to decode the PNG picture " + name_ + ": " + reason);
  }

  // Declared before the decoder, so closed after it.
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string name_;
  BackgroundBgr background_;
  const CancelFlag* cancel_;
  PngDecoder decoder_;
  std::vector<std::uint8_t> row_;    // one row as the library gives it
  std::vector<std::uint8_t> whole_;  // an interlaced picture, as the library gives it
  int rowsRead_ = 0;
  bool failed_ = false;
  bool cancelled_ = false;
  std::string failure_;
};

PngRowReader::PngRowReader(const std::string& path, const PictureReadOptions& options)
    : impl_(std::make_unique<Impl>(path, options)) {}

PngRowReader::~PngRowReader() = default;

int PngRowReader::Width() const { return impl_->decoder().Width(); }
int PngRowReader::Height() const { return impl_->decoder().Height(); }
int PngRowReader::BitsPerPixel() const { return impl_->decoder().Grey() ? 8 : 24; }
int PngRowReader::RowsRead() const { return impl_->RowsRead(); }

int PngRowReader::ReadRows(std::uint8_t* const* rows, int count) {
  return impl_->ReadRows(rows, count);
}

std::string ReadPngSize(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(OpenFile(path, "rb"));
  std::uint32_t width = 0, height = 0;
  if (!file || !ReadIhdrSize(file.get(), &width, &height)) return std::string();
  return std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace dova
