// Where libjpeg takes a picture's bytes from: a block of memory or an open file. Both behave as
// the library's own stdio source does at the end of the data: an empty input is a fatal error,
// and a truncated one gets a warning (JWRN_JPEG_EOF) and a made-up end-of-image marker, so that
// the decoder finishes its rows and the decoder's damage watch can judge what was missing.
//
// Both hand the library its bytes in pieces smaller than libjpeg-turbo's fast Huffman decoder
// needs (512 bytes a block of the MCU), so the careful decoder reads every scan. The fast one
// turns an invalid code into a zero without a word; the careful one warns of it, and the damage
// watch counts on hearing of every one. A piece a time also makes the verdict on a file the same
// whichever source read it.
#pragma once

#include <cstddef>
#include <cstdio>

#include "wallpaper/jpeg_library.h"

namespace dova {

struct JpegMemorySource {
  jpeg_source_mgr pub;  // first member: libjpeg's pointer to it converts back
  const JOCTET* rest;   // the bytes not yet handed over
  std::size_t restSize;
  bool empty;
};

// `data` must outlive the decoding; nothing is copied.
void InitJpegMemorySource(JpegMemorySource& source, const unsigned char* data, std::size_t size);

struct JpegFileSource {
  jpeg_source_mgr pub;  // first member: libjpeg's pointer to it converts back
  std::FILE* file;
  bool startOfFile;
  bool atEnd;
  const JOCTET* rest;  // the bytes of `buffer` read but not yet handed over
  std::size_t restSize;
  JOCTET buffer[16384];
};

// Reads `file` from its current position; the caller keeps ownership and closes it.
void InitJpegFileSource(JpegFileSource& source, std::FILE* file);

}  // namespace dova
