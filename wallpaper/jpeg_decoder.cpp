// JPEG decoding with libjpeg. The library reports a fatal error by calling error_exit, which
// must not return: ours longjmps back into Decompressor::Run, the one function that drives the
// library, which then returns false so that its caller can throw dova::Error. No object with a
// destructor lives in the frames the jump crosses, and the decompressor is released by its
// owner's destructor on every path. Warnings go to the damage watch, which decides afterwards
// whether the rows handed out make the whole picture (wallpaper/jpeg_damage.h).
#include "wallpaper/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/error.h"
#include "platform/file_system.h"
#include "wallpaper/jpeg_damage.h"
#include "wallpaper/jpeg_source.h"

namespace dova {

namespace {

// Rows handed to libjpeg per call: as many as its largest output group (4:2:0 upsampling
// gives two at a time), so no call is wasted on a single row.
constexpr int kRowsPerCall = 16;

class Decompressor {
 public:
  explicit Decompressor(const JpegLimits& limits) : limits_(limits) {
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

  // Decodes the whole picture from `source` into `picture`. False, with Reason() telling why,
  // when the library failed or a limit was broken. std::bad_alloc when the bitmap does not fit.
  bool Run(jpeg_source_mgr* source, long long dataSize, Bitmap& picture);
  const std::string& Reason() const { return reason_; }
  // After a Run that gave a picture: empty when it is whole, else why it is damaged.
  std::string Damage() const { return damage_.Verdict(); }

 private:
  static Decompressor* Of(j_common_ptr cinfo) {
    return static_cast<Decompressor*>(cinfo->client_data);
  }
  static void OnError(j_common_ptr cinfo);
  static void OnMessage(j_common_ptr cinfo, int level);
  static void OnProgress(j_common_ptr cinfo);
  bool WithinSizeLimits();
  void ReadRows(Bitmap& picture);
  void ReadCmykRows(Bitmap& picture);

  // Where the decoding is, for the message of a fatal error.
  enum class Stage { kHeader, kScans, kFinishing };

  jpeg_decompress_struct cinfo_{};
  jpeg_error_mgr errors_{};
  jpeg_progress_mgr progress_{};
  std::jmp_buf jump_;
  char message_[JMSG_LENGTH_MAX] = {};
  std::string reason_;
  JpegLimits limits_;
  int maxScans_;  // for this picture's size
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

// Called between the input steps while the library absorbs a multi-scan file. A small file can
// hold thousands of scans, each of which makes the library pass over the whole picture.
void Decompressor::OnProgress(j_common_ptr cinfo) {
  Decompressor* self = Of(cinfo);
  self->damage_.OnProgress(&self->cinfo_);
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
  if (width <= limits_.maxDimension && height <= limits_.maxDimension &&
      width * height <= limits_.maxPixels)
    return true;
  reason_ = "the picture is " + std::to_string(width) + "x" + std::to_string(height) +
            " pixels, larger than the " + std::to_string(limits_.maxPixels) +
            " pixels (at most " + std::to_string(limits_.maxDimension) +
            " in either direction) that can be decoded";
  return false;
}

bool Decompressor::Run(jpeg_source_mgr* source, long long dataSize, Bitmap& picture) {
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

  const bool cmyk = cinfo_.jpeg_color_space == JCS_CMYK || cinfo_.jpeg_color_space == JCS_YCCK;
  const bool grey = cinfo_.jpeg_color_space == JCS_GRAYSCALE;
  if (grey) {
    cinfo_.out_color_space = JCS_GRAYSCALE;
  } else if (cmyk) {
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

  // Allocated before the library's own buffers so that a picture too large for the memory left
  // fails at once, not after the whole file has been read.
  picture = Bitmap(static_cast<int>(cinfo_.output_width), static_cast<int>(cinfo_.output_height),
                   grey ? 8 : 24);
  jpeg_start_decompress(&cinfo_);  // a progressive file is read completely here
  if (cmyk)
    ReadCmykRows(picture);
  else
    ReadRows(picture);
  // Reading on to the end-of-image marker, as libjpeg's own tools do, shows whether the last
  // scan's data was used up (a large remainder means it was misread) and whether what follows
  // is sound: a fatal error there refuses the picture too.
  stage_ = Stage::kFinishing;
  damage_.ScansRead(&cinfo_);
  jpeg_finish_decompress(&cinfo_);
  return true;
}

void Decompressor::ReadRows(Bitmap& picture) {
  JSAMPROW rows[kRowsPerCall];
  while (cinfo_.output_scanline < cinfo_.output_height) {
    const int first = static_cast<int>(cinfo_.output_scanline);
    const int count = std::min<int>(kRowsPerCall, picture.Height() - first);
    for (int i = 0; i < count; ++i) rows[i] = picture.Row(first + i);
    const JDIMENSION read = jpeg_read_scanlines(&cinfo_, rows, static_cast<JDIMENSION>(count));
    if (read == 0) ERREXIT(&cinfo_, JERR_BAD_STATE);  // cannot happen with our sources
#ifndef JCS_EXTENSIONS
    if (picture.BitsPerPixel() == 24) {
      for (JDIMENSION i = 0; i < read; ++i) {
        std::uint8_t* p = rows[i];
        for (int x = 0; x < picture.Width(); ++x, p += 3) std::swap(p[0], p[2]);
      }
    }
#endif
  }
}

// Adobe's CMYK and YCCK files (Photoshop's, ImageMagick's) store the inks inverted: 255 means
// no ink. Colour is (1 - C)(1 - K) for red and likewise for green and blue, the same simple
// conversion other viewers use when there is no colour profile.
void Decompressor::ReadCmykRows(Bitmap& picture) {
  const bool inverted = cinfo_.saw_Adobe_marker != 0;
  JSAMPARRAY buffer = cinfo_.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&cinfo_),
                                               JPOOL_IMAGE, cinfo_.output_width * 4, 1);
  while (cinfo_.output_scanline < cinfo_.output_height) {
    const int y = static_cast<int>(cinfo_.output_scanline);
    if (jpeg_read_scanlines(&cinfo_, buffer, 1) == 0) ERREXIT(&cinfo_, JERR_BAD_STATE);
    const JSAMPLE* cmyk = buffer[0];
    std::uint8_t* bgr = picture.Row(y);
    for (int x = 0; x < picture.Width(); ++x, cmyk += 4, bgr += 3) {
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

Bitmap Decode(jpeg_source_mgr* source, long long dataSize, const std::string& name,
              const JpegLimits& limits) {
  Decompressor decompressor(limits);
  Bitmap picture;
  bool decoded = false;
  try {
    decoded = decompressor.Run(source, dataSize, picture);
  } catch (const std::bad_alloc&) {
    throw Error("Not enough memory to decode the JPEG picture " + name);
  }
  if (!decoded) throw Error("Unable to decode the JPEG picture " + name + ": " +
                            decompressor.Reason());
  const std::string damage = decompressor.Damage();
  if (!damage.empty()) throw Error("Unable to decode the JPEG picture " + name + ": " + damage);
  return picture;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

Bitmap DecodeJpegFile(const std::string& path, const JpegLimits& limits) {
  std::unique_ptr<std::FILE, FileCloser> file(OpenFile(path, "rb"));
  if (!file) throw Error("Unable to open the JPEG picture " + path);
  auto source = std::make_unique<JpegFileSource>();
  InitJpegFileSource(*source, file.get());
  return Decode(&source->pub, FileSize(path), path, limits);
}

Bitmap DecodeJpegMemory(const unsigned char* data, std::size_t size, const JpegLimits& limits) {
  JpegMemorySource source;
  InitJpegMemorySource(source, data, size);
  return Decode(&source.pub, static_cast<long long>(size), "in memory", limits);
}

}  // namespace dova
