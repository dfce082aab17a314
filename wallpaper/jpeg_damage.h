// Telling a damaged JPEG file from a whole one by what libjpeg reports while it decodes. The
// library never stops for damage in the compressed data: it warns, fills what it could not read
// with grey or garbage, and hands out every row. A wallpaper must be the whole picture, so the
// decoder asks this watch afterwards whether it is.
//
// The line, in the library's own terms (an "iMCU row" is one row of 8 or 16 pixel high blocks):
//
// Refused, "its data ends before the picture is complete":
//   the source ran out of bytes (JWRN_JPEG_EOF, "Premature end of JPEG file") and
//   - it ran out while a scan still had rows to read before its last one, or
//   - a scan still needed data after that (JWRN_HIT_MARKER: the decoder wanted bits beyond the
//     end; JWRN_MUST_RESYNC: a restart marker was missing), or
//   - the scans read so far do not make a whole picture: a progressive file with a coefficient
//     of some component not refined down to its last bit, or a sequential file with a
//     component that no scan carried.
// Refused, "its data is corrupt in N of M rows of blocks":
//   corrupt compressed data lost more than one row in twenty. Every JWRN_HUFF_BAD_CODE,
//   JWRN_ARITH_BAD_CODE, JWRN_HIT_MARKER and JWRN_MUST_RESYNC loses the rows of the restart
//   interval being decoded, and a JWRN_EXTRANEOUS_DATA found before a restart marker those of
//   the interval before it (it was not decoded as written); without restart markers the decoder
//   cannot find its step again, and every row to the end of that scan is lost.
// Refused, "its data is corrupt: N of its M bytes were left over":
//   the scans' rows were complete with more than one byte in twenty of the file still unread
//   before the next marker (JWRN_EXTRANEOUS_DATA after a completed scan): the data was misread.
// Refused, "the picture is damaged (<libjpeg's text>)": a fatal error past a sound header, also
//   one met while reading on from the last row to the end-of-image marker (as djpeg does).
// Kept, as libjpeg decodes them fully:
//   a few stray bytes between segments or after a scan (JWRN_EXTRANEOUS_DATA before any other
//   marker than a restart marker, within the one in twenty above), a missing end-of-image
//   marker after complete scans (the end of the data comes when the decoder looks past the last
//   scan, or reads ahead in its last row without needing the bits), and header warnings (an
//   unknown JFIF revision or Adobe transform, a bad ICC segment).
//
// Damage that decodes to valid codes is invisible to the library and so to this watch. So is a
// cut within the last row of blocks of a sequential arithmetic-coded file: such data may end
// early by the standard's convention, and the library then supplies zeros without a warning.
#pragma once

#include <cstdio>  // before jpeglib.h, which uses FILE and size_t
#include <string>
#include <vector>

#include <jpeglib.h>

namespace dova {

class JpegDamageWatch {
 public:
  static constexpr const char* kCutShort =
      "the picture is damaged: its data ends before the picture is complete";

  // After jpeg_read_header: sizes the record of lost rows for this picture, whose file holds
  // `dataSize` bytes (0 when unknown).
  void Start(j_decompress_ptr cinfo, long long dataSize);
  // From the error manager's emit_message, for warnings (level -1). Never throws.
  void OnWarning(j_decompress_ptr cinfo);
  // From the progress monitor: notes the components of the scan being read. Never throws.
  void OnProgress(j_decompress_ptr cinfo);
  // After the last row, before jpeg_finish_decompress (which frees the library's record of the
  // scans): notes whether the scans read make the whole picture.
  void ScansRead(j_decompress_ptr cinfo);
  // After jpeg_finish_decompress: empty when the picture is whole, else why it is damaged.
  std::string Verdict() const;
  // The source has run out of data (a fatal error then comes from the cut).
  bool RanOut() const { return ranOut_; }

 private:
  // Marks the rows of the restart interval being decoded (or, with `previous`, of the one that
  // just ended) as lost; without restart markers every row from here to the end of the scan.
  void LoseInterval(j_decompress_ptr cinfo, bool previous);
  bool ScansCoverPicture(j_decompress_ptr cinfo) const;

  std::vector<unsigned char> lostRows_;  // one flag per iMCU row
  unsigned scannedComponents_ = 0;       // bit per component index that some scan carried
  long long dataSize_ = 0;
  long long leftOver_ = 0;     // bytes skipped after completed scans
  bool scansCover_ = false;    // as ScansRead found
  bool ranOut_ = false;        // the source supplied its made-up end marker
  bool ranOutInScan_ = false;  // ... before the last row of a scan
  bool neededDataAfterEnd_ = false;
};

}  // namespace dova
