// Where libjpeg takes a picture's bytes from: a block of memory or an open file. Both behave as
// the library's own stdio source does at the end of the data: an empty input is a fatal error,
// and a truncated one gets a warning (JWRN_JPEG_EOF) and a made-up end-of-image marker, so that
// the decoder finishes its rows and the decoder's damage watch can judge what was missing.
#pragma once

#include <cstddef>
#include <cstdio>

#include "wallpaper/jpeg_library.h"

namespace dova {

struct JpegMemorySource {
  jpeg_source_mgr pub;  // first member: libjpeg's pointer to it converts back
  bool empty;
};

// `data` must outlive the decoding; nothing is copied.
void InitJpegMemorySource(JpegMemorySource& source, const unsigned char* data, std::size_t size);

struct JpegFileSource {
  jpeg_source_mgr pub;  // first member: libjpeg's pointer to it converts back
  std::FILE* file;
  bool startOfFile;
  bool atEnd;
  JOCTET buffer[16384];
};

// Reads `file` from its current position; the caller keeps ownership and closes it.
void InitJpegFileSource(JpegFileSource& source, std::FILE* file);

}  // namespace dova
