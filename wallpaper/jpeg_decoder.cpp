// JPEG decoding with libjpeg. The library reports a fatal error by calling error_exit, which
// must not return: ours longjmps back into the Decompressor method that called the library,
// which then returns false so that its caller can throw. Every such method sets its own jump
// point, no object with a destructor lives in the frames the jump crosses, and the decompressor
// is released by its owner's destructor on every path. Warnings go to the damage watch, which
// decides once the rows are read whether they make the whole picture (wallpaper/jpeg_damage.h).
#include "wallpaper/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "platform/error.h"
#include "platform/file_system.h"
#include "wallpaper/jpeg_damage.h"
#include "wallpaper/jpeg_library.h"
#include "wallpaper/jpeg_source.h"

namespace dova {

namespace {

// Rows handed to libjpeg per call: as many as its largest output group (4:2:0 upsampling
// gives two at a time), so no call is wasted on a single row.
constexpr int kRowsPerCall = 16;

class Decompressor {
 public:
  Decompressor(const JpegLimits& limits, const CancelFlag* cancel)
      : limits_(limits), cancel_(cancel) {
    jpeg_std_error(&errors_);
    errors_.error_exit = OnError;
    errors_.emit_message = OnMessage;
    cinfo_.err = &errors_;
    cinfo_.client_data = this;
    progress_.progress_monitor = OnProgress;
    maxScans_ = limits.maxScans;
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo_); }  // safe before creation: mem is null
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  // Each of these returns false, with Reason() or Cancelled() telling why, when the library
  // failed, a limit was broken or the work was cancelled.
  // Reads the header from `source`, whose data holds `dataSize` bytes (0 when unknown), and
  // chooses the output format.
  bool ReadHeader(jpeg_source_mgr* source, long long dataSize);
  // Starts decompressing; a progressive file is read completely here.
  bool Start();
  // The next `count` rows (no more than are left), each its output row of `rows`.
  bool Read(std::uint8_t* const* rows, int count);
  // After the last row: reads on to the end-of-image marker, as libjpeg's own tools do, which
  // shows whether the last scan's data was used up and whether what follows is sound.
  bool Finish();
  // After Finish: empty when the picture is whole, else why it is damaged.
  std::string Damage() const { return damage_.Verdict(); }

  const std::string& Reason() const { return reason_; }
  bool Cancelled() const { return cancelled_; }
  int Width() const { return static_cast<int>(cinfo_.output_width); }
  int Height() const { return static_cast<int>(cinfo_.output_height); }
  int Scanline() const { return static_cast<int>(cinfo_.output_scanline); }
  bool Grey() const { return cinfo_.out_color_space == JCS_GRAYSCALE; }

 private:
  static Decompressor* Of(j_common_ptr cinfo) {
    return static_cast<Decompressor*>(cinfo->client_data);
  }
  static void OnError(j_common_ptr cinfo);
  static void OnMessage(j_common_ptr cinfo, int level);
  static void OnProgress(j_common_ptr cinfo);
  bool WithinSizeLimits();
  void ReadPlainRows(std::uint8_t* const* rows, int count);
  void ReadCmykRows(std::uint8_t* const* rows, int count);

  // Where the decoding is, for the message of a fatal error.
  enum class Stage { kHeader, kScans, kFinishing };

  jpeg_decompress_struct cinfo_{};
  jpeg_error_mgr errors_{};
  jpeg_progress_mgr progress_{};
  std::jmp_buf jump_;
  char message_[JMSG_LENGTH_MAX] = {};
  std::string reason_;
  JpegLimits limits_;
  const CancelFlag* cancel_;
  bool cancelled_ = false;
  bool cmyk_ = false;
  JSAMPARRAY cmykRow_ = nullptr;  // the library's, released with it
  int maxScans_;                  // for this picture's size
  JpegDamageWatch damage_;
  Stage stage_ = Stage::kHeader;
};

void Decompressor::OnError(j_common_ptr cinfo) {
  Decompressor* self = Of(cinfo);
  if (cinfo->err->msg_code == JERR_NO_BACKING_STORE) {
    // The whole-picture buffer of a progressive file would not fit in the memory allowed.
    std::snprintf(self->message_, sizeof self->message_,
                  "the picture needs more than %ld MB of working memory",
                  self->limits_.maxLibraryMemory >> 20);
  } else if (self->damage_.RanOut()) {
    // Whatever the library stumbled on, it was reading the made-up end of a cut file.
    std::snprintf(self->message_, sizeof self->message_, "%s", JpegDamageWatch::kCutShort);
  } else {
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    // Past a sound header a fatal error is broken data, not a file of another kind.
    std::snprintf(self->message_, sizeof self->message_,
                  self->stage_ == Stage::kHeader ? "%s" : "the picture is damaged (%s)", text);
  }
  std::longjmp(self->jump_, 1);
}

// Warnings (a truncated file, corrupt data the library can step over) do not stop decoding: the
// damage watch notes them, and the whole picture is judged at the end. Trace messages go nowhere.
void Decompressor::OnMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  cinfo->err->num_warnings++;
  Of(cinfo)->damage_.OnWarning(&Of(cinfo)->cinfo_);
}

// Called between the library's steps, most often while it absorbs a multi-scan file. A small
// file can hold thousands of scans, each of which makes the library pass over the whole
// picture; and a conversion stopped from outside should not wait for a long file's end.
void Decompressor::OnProgress(j_common_ptr cinfo) {
  Decompressor* self = Of(cinfo);
  self->damage_.OnProgress(&self->cinfo_);
  if (CancelRequested(self->cancel_)) {
    self->cancelled_ = true;
    std::snprintf(self->message_, sizeof self->message_, "stopped");
    std::longjmp(self->jump_, 1);
  }
  if (self->cinfo_.input_scan_number > self->maxScans_) {
    std::snprintf(self->message_, sizeof self->message_,
                  "more than %d scans, too many for a picture of this size", self->maxScans_);
    std::longjmp(self->jump_, 1);
  }
}

bool Decompressor::WithinSizeLimits() {
  const long long width = cinfo_.image_width;
  const long long height = cinfo_.image_height;
  const long long pixels = std::max(1LL, width * height);
  maxScans_ = static_cast<int>(std::max(
      1LL, std::min(limits_.maxScanPixels / pixels, static_cast<long long>(limits_.maxScans))));
  reason_ = SizeOverLimits(width, height, limits_);
  return reason_.empty();
}

bool Decompressor::ReadHeader(jpeg_source_mgr* source, long long dataSize) {
  if (setjmp(jump_)) {
    reason_ = message_;
    return false;
  }
  jpeg_create_decompress(&cinfo_);
  cinfo_.mem->max_memory_to_use = limits_.maxLibraryMemory;
  cinfo_.progress = &progress_;
  cinfo_.src = source;
  jpeg_read_header(&cinfo_, TRUE);
  if (!WithinSizeLimits()) return false;
  damage_.Start(&cinfo_, dataSize);
  stage_ = Stage::kScans;

  cmyk_ = cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
  if (cinfo_.jpeg_color_space == JCS_GRAYSCALE) {
    cinfo_.out_color_space = JCS_GRAYSCALE;
  } else if (cmyk_) {
    cinfo_.out_color_space = JCS_CMYK;  // the library turns YCCK into CMYK; the rest is ours
  } else {
#ifdef JCS_EXTENSIONS
    cinfo_.out_color_space = JCS_EXT_BGR;
#else
    cinfo_.out_color_space = JCS_RGB;
#endif
  }
  cinfo_.dct_method = JDCT_ISLOW;
  cinfo_.do_fancy_upsampling = TRUE;
  jpeg_calc_output_dimensions(&cinfo_);
  return true;
}

bool Decompressor::Start() {
  if (setjmp(jump_)) {
    reason_ = message_;
    return false;
  }
  jpeg_start_decompress(&cinfo_);
  if (cmyk_) {
    cmykRow_ = cinfo_.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&cinfo_), JPOOL_IMAGE,
                                        cinfo_.output_width * 4, 1);
  }
  return true;
}

bool Decompressor::Read(std::uint8_t* const* rows, int count) {
  if (setjmp(jump_)) {
    reason_ = message_;
    return false;
  }
  if (cmyk_)
    ReadCmykRows(rows, count);
  else
    ReadPlainRows(rows, count);
  return true;
}

bool Decompressor::Finish() {
  if (setjmp(jump_)) {
    reason_ = message_;
    return false;
  }
  stage_ = Stage::kFinishing;
  // Before jpeg_finish_decompress, which frees the library's record of the scans.
  damage_.ScansRead(&cinfo_);
  jpeg_finish_decompress(&cinfo_);
  return true;
}

void Decompressor::ReadPlainRows(std::uint8_t* const* rows, int count) {
  for (int done = 0; done < count;) {
    JSAMPROW batch[kRowsPerCall];
    const int n = std::min(kRowsPerCall, count - done);
    for (int i = 0; i < n; ++i) batch[i] = rows[done + i];
    const JDIMENSION read = jpeg_read_scanlines(&cinfo_, batch, static_cast<JDIMENSION>(n));
    if (read == 0) ERREXIT(&cinfo_, JERR_BAD_STATE);  // cannot happen with our sources
#ifndef JCS_EXTENSIONS
    if (!Grey()) {
      for (JDIMENSION i = 0; i < read; ++i) {
        std::uint8_t* p = batch[i];
        for (int x = 0; x < Width(); ++x, p += 3) std::swap(p[0], p[2]);
      }
    }
#endif
    done += static_cast<int>(read);
  }
}

// Adobe's CMYK and YCCK files (Photoshop's, ImageMagick's) store the inks inverted: 255 means
// no ink. Colour is (1 - C)(1 - K) for red and likewise for green and blue, the same simple
// conversion other viewers use when there is no colour profile.
void Decompressor::ReadCmykRows(std::uint8_t* const* rows, int count) {
  const bool inverted = cinfo_.saw_Adobe_marker != 0;
  for (int r = 0; r < count; ++r) {
    if (jpeg_read_scanlines(&cinfo_, cmykRow_, 1) == 0) ERREXIT(&cinfo_, JERR_BAD_STATE);
    const JSAMPLE* cmyk = cmykRow_[0];
    std::uint8_t* bgr = rows[r];
    for (int x = 0; x < Width(); ++x, cmyk += 4, bgr += 3) {
      unsigned c = cmyk[0], m = cmyk[1], ye = cmyk[2], k = cmyk[3];
      if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        ye = 255 - ye;
        k = 255 - k;
      }
      bgr[0] = static_cast<std::uint8_t>((ye * k + 127) / 255);
      bgr[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
      bgr[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
  }
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

class JpegRowReader::Impl {
 public:
  Impl(std::string name, const JpegLimits& limits, const CancelFlag* cancel)
      : name_(std::move(name)), decompressor_(limits, cancel) {}

  void OpenFile(const std::string& path) {
    file_.reset(dova::OpenFile(path, "rb"));
    if (!file_) throw Error("Unable to open the JPEG picture " + path);
    fileSource_ = std::make_unique<JpegFileSource>();
    InitJpegFileSource(*fileSource_, file_.get());
    ReadHeader(&fileSource_->pub, FileSize(path));
  }

  void OpenMemory(const unsigned char* data, std::size_t size) {
    InitJpegMemorySource(memorySource_, data, size);
    ReadHeader(&memorySource_.pub, static_cast<long long>(size));
  }

  const Decompressor& decompressor() const { return decompressor_; }
  const std::string& Name() const { return name_; }

  int ReadRows(std::uint8_t* const* rows, int count) {
    // After a failure the library's state is undefined: the failure stands.
    if (failed_) Check(false);
    if (!started_) {
      Check(decompressor_.Start());
      started_ = true;
    }
    count = std::min(count, decompressor_.Height() - decompressor_.Scanline());
    if (count <= 0) return 0;
    Check(decompressor_.Read(rows, count));
    // The rows handed out are judged as a whole after the last one: a damaged picture throws
    // here, before its caller can finish what it made of them.
    if (decompressor_.Scanline() == decompressor_.Height()) {
      Check(decompressor_.Finish());
      const std::string damage = decompressor_.Damage();
      if (!damage.empty()) {
        failed_ = true;
        throw Error("Unable to decode the JPEG picture " + name_ + ": " + damage);
      }
    }
    return count;
  }

 private:
  void ReadHeader(jpeg_source_mgr* source, long long dataSize) {
    Check(decompressor_.ReadHeader(source, dataSize));
  }

  void Check(bool succeeded) {
    if (succeeded) return;
    failed_ = true;
    if (decompressor_.Cancelled()) throw ConversionCancelled();
    throw Error("Unable to decode the JPEG picture " + name_ + ": " + decompressor_.Reason());
  }

  // Declared before the decompressor, so destroyed after it.
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::unique_ptr<JpegFileSource> fileSource_;
  JpegMemorySource memorySource_{};
  std::string name_;
  Decompressor decompressor_;
  bool started_ = false;
  bool failed_ = false;
};

JpegRowReader::JpegRowReader(const std::string& path, const JpegLimits& limits,
                             const CancelFlag* cancel)
    : impl_(std::make_unique<Impl>(path, limits, cancel)) {
  impl_->OpenFile(path);
}

JpegRowReader::JpegRowReader(const unsigned char* data, std::size_t size, const JpegLimits& limits,
                             const CancelFlag* cancel)
    : impl_(std::make_unique<Impl>("in memory", limits, cancel)) {
  impl_->OpenMemory(data, size);
}

JpegRowReader::~JpegRowReader() = default;

int JpegRowReader::Width() const { return impl_->decompressor().Width(); }
int JpegRowReader::Height() const { return impl_->decompressor().Height(); }
int JpegRowReader::BitsPerPixel() const { return impl_->decompressor().Grey() ? 8 : 24; }
int JpegRowReader::RowsRead() const { return impl_->decompressor().Scanline(); }

int JpegRowReader::ReadRows(std::uint8_t* const* rows, int count) {
  return impl_->ReadRows(rows, count);
}

Bitmap JpegRowReader::ReadPicture() {
  // Allocated before the library's own buffers so that a picture too large for the memory left
  // fails at once, not after the whole file has been read.
  Bitmap picture;
  try {
    picture = Bitmap(Width(), Height(), BitsPerPixel());
  } catch (const std::bad_alloc&) {
    throw Error("Not enough memory to decode the JPEG picture " + impl_->Name());
  }
  std::uint8_t* rows[kRowsPerCall];
  while (RowsRead() < picture.Height()) {
    const int first = RowsRead();
    const int count = std::min(kRowsPerCall, picture.Height() - first);
    for (int i = 0; i < count; ++i) rows[i] = picture.Row(first + i);
    ReadRows(rows, count);
  }
  // The picture is complete and was found whole when its last row was read.
  return picture;
}

Bitmap DecodeJpegFile(const std::string& path, const JpegLimits& limits) {
  return JpegRowReader(path, limits).ReadPicture();
}

Bitmap DecodeJpegMemory(const unsigned char* data, std::size_t size, const JpegLimits& limits) {
  return JpegRowReader(data, size, limits).ReadPicture();
}

}  // namespace dova
