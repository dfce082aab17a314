// libjpeg data sources. The callbacks may leave through the library's error_exit (a longjmp
// back to the decoder), so they keep no C++ object with a destructor on the stack.
#include "wallpaper/jpeg_source.h"

#include <jerror.h>

namespace dova {

namespace {

const JOCTET kFakeEndOfImage[2] = {0xFF, JPEG_EOI};
// The most bytes handed to the library at once (jpeg_source.h says why).
constexpr std::size_t kJpegPieceBytes = 511;

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// At the end of the data: a warning and an end-of-image marker for the decoder to find.
void SupplyEndOfImage(j_decompress_ptr cinfo) {
  WARNMS(cinfo, JWRN_JPEG_EOF);
  cinfo->src->next_input_byte = kFakeEndOfImage;
  cinfo->src->bytes_in_buffer = sizeof kFakeEndOfImage;
}

// Hands the library the next piece of `rest`.
void HandPiece(jpeg_source_mgr* src, const JOCTET*& rest, std::size_t& restSize) {
  const std::size_t piece = restSize < kJpegPieceBytes ? restSize : kJpegPieceBytes;
  src->next_input_byte = rest;
  src->bytes_in_buffer = piece;
  rest += piece;
  restSize -= piece;
}

boolean FillFromMemory(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<JpegMemorySource*>(cinfo->src);
  if (source->empty) ERREXIT(cinfo, JERR_INPUT_EMPTY);
  if (source->restSize > 0)
    HandPiece(&source->pub, source->rest, source->restSize);
  else
    SupplyEndOfImage(cinfo);
  return TRUE;
}

// Skips segment contents the decoder does not need. Past the end it stops at the made-up
// end-of-image marker rather than asking for more again and again.
void SkipInMemory(j_decompress_ptr cinfo, long count) {
  auto* source = reinterpret_cast<JpegMemorySource*>(cinfo->src);
  jpeg_source_mgr* src = cinfo->src;
  if (count <= 0) return;
  std::size_t skip = static_cast<unsigned long>(count);
  if (skip <= src->bytes_in_buffer) {
    src->next_input_byte += skip;
    src->bytes_in_buffer -= skip;
    return;
  }
  skip -= src->bytes_in_buffer;
  src->bytes_in_buffer = 0;
  const std::size_t fromRest = skip < source->restSize ? skip : source->restSize;
  source->rest += fromRest;
  source->restSize -= fromRest;
  FillFromMemory(cinfo);
}

boolean FillFromFile(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<JpegFileSource*>(cinfo->src);
  if (source->restSize > 0) {
    HandPiece(&source->pub, source->rest, source->restSize);
    return TRUE;
  }
  std::size_t count = 0;
  if (!source->atEnd) count = std::fread(source->buffer, 1, sizeof source->buffer, source->file);
  if (count == 0) {
    if (std::ferror(source->file)) ERREXIT(cinfo, JERR_FILE_READ);
    if (source->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    source->atEnd = true;
    SupplyEndOfImage(cinfo);
    return TRUE;
  }
  source->rest = source->buffer;
  source->restSize = count;
  HandPiece(&source->pub, source->rest, source->restSize);
  source->startOfFile = false;
  return TRUE;
}

void SkipInFile(j_decompress_ptr cinfo, long count) {
  auto* source = reinterpret_cast<JpegFileSource*>(cinfo->src);
  jpeg_source_mgr* src = cinfo->src;
  if (count <= 0) return;
  while (static_cast<unsigned long>(count) > src->bytes_in_buffer) {
    count -= static_cast<long>(src->bytes_in_buffer);
    src->bytes_in_buffer = 0;
    FillFromFile(cinfo);
    if (source->atEnd) return;
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

}  // namespace

void InitJpegMemorySource(JpegMemorySource& source, const unsigned char* data, std::size_t size) {
  source.pub.init_source = InitSource;
  source.pub.fill_input_buffer = FillFromMemory;
  source.pub.skip_input_data = SkipInMemory;
  source.pub.resync_to_restart = jpeg_resync_to_restart;
  source.pub.term_source = TermSource;
  source.pub.next_input_byte = data;
  source.pub.bytes_in_buffer = 0;
  source.rest = data;
  source.restSize = size;
  source.empty = size == 0;
}

void InitJpegFileSource(JpegFileSource& source, std::FILE* file) {
  source.pub.init_source = InitSource;
  source.pub.fill_input_buffer = FillFromFile;
  source.pub.skip_input_data = SkipInFile;
  source.pub.resync_to_restart = jpeg_resync_to_restart;
  source.pub.term_source = TermSource;
  source.pub.next_input_byte = nullptr;
  source.pub.bytes_in_buffer = 0;
  source.file = file;
  source.startOfFile = true;
  source.atEnd = false;
  source.rest = source.buffer;
  source.restSize = 0;
}

}  // namespace dova
