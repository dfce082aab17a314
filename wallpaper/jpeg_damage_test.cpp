// Damaged JPEG files made from real ones: cut short, corrupt over a large part, and with the
// small flaws libjpeg decodes fully. A damaged picture must end in an error that says so; a
// whole one must give exactly the sound file's pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/error.h"
#include "tests/support/test_pictures.h"
#include "wallpaper/jpeg_decoder.h"
#include "wallpaper/jpeg_library.h"

namespace dova {
namespace {

using testing::Bytes;

struct Encoding {
  const char* name;
  bool progressive = false;
  int restartRows = 0;  // a restart marker after every this many MCU rows; 0 for none
  bool arithmetic = false;
  bool grey = false;
};

// A picture with detail everywhere (gradients under noise), so that every row has its own
// compressed data, encoded by libjpeg as `encoding` says.
Bytes EncodeJpeg(const std::string& path, int width, int height, const Encoding& encoding) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw Error("cannot write " + path);
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = encoding.grey ? 1 : 3;
  info.in_color_space = encoding.grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  if (encoding.progressive) jpeg_simple_progression(&info);
  info.restart_in_rows = encoding.restartRows;
  info.arith_code = encoding.arithmetic ? TRUE : FALSE;
  jpeg_start_compress(&info, TRUE);
  std::mt19937 noise(7);
  const int channels = info.input_components;
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * channels);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c)
        row[x * channels + c] = static_cast<JSAMPLE>(
            (x * (3 + c) + y * (5 - c) + static_cast<int>(noise() % 48)) & 0xFF);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
  return testing::ReadBytes(path);
}

struct Outcome {
  std::optional<Bitmap> picture;
  std::string error;
};

Outcome Decode(const Bytes& bytes) {
  Outcome outcome;
  try {
    outcome.picture = DecodeJpegMemory(bytes.data(), bytes.size());
  } catch (const Error& error) {
    outcome.error = error.what();
  }
  return outcome;
}

bool Damaged(const Outcome& outcome) {
  return !outcome.picture && outcome.error.find("the picture is damaged") != std::string::npos;
}

// First byte of the first scan's compressed data.
std::size_t FirstScanData(const Bytes& jpeg) {
  for (std::size_t i = 2; i + 3 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i + 2 + ((jpeg[i + 2] << 8) | jpeg[i + 3]);
  return std::string::npos;
}

struct Span {
  std::size_t begin, end;
};

// The compressed data of every scan: from the end of its header to the next marker other than a
// restart marker.
std::vector<Span> ScanData(const Bytes& jpeg) {
  std::vector<Span> scans;
  for (std::size_t i = 2; i + 3 < jpeg.size(); ++i) {
    if (jpeg[i] != 0xFF || jpeg[i + 1] != 0xDA) continue;
    Span scan{i + 2 + ((jpeg[i + 2] << 8) | jpeg[i + 3]), jpeg.size()};
    for (std::size_t j = scan.begin; j + 1 < jpeg.size(); ++j) {
      if (jpeg[j] == 0xFF && jpeg[j + 1] != 0 && (jpeg[j + 1] < 0xD0 || jpeg[j + 1] > 0xD7)) {
        scan.end = j;
        break;
      }
    }
    scans.push_back(scan);
    i = scan.end - 1;
  }
  return scans;
}

// Offsets of the restart markers, in order.
std::vector<std::size_t> RestartMarkers(const Bytes& jpeg) {
  std::vector<std::size_t> at;
  for (std::size_t i = FirstScanData(jpeg); i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xD0 && jpeg[i + 1] <= 0xD7) at.push_back(i);
  return at;
}

// Changes the bytes in [from, to) without writing or breaking a marker: bytes that are 0xFF or
// follow one stay, and no new 0xFF is written.
void Scramble(Bytes& jpeg, std::size_t from, std::size_t to, unsigned seed) {
  std::mt19937 random(seed);
  for (std::size_t i = from; i < to && i < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF || (i > 0 && jpeg[i - 1] == 0xFF)) continue;
    std::uint8_t value = static_cast<std::uint8_t>(random());
    if (value == 0xFF) value = 0x7F;
    jpeg[i] = value;
  }
}

void ExpectSamePixels(const Outcome& outcome, const Bitmap& sound) {
  ASSERT_TRUE(outcome.picture) << outcome.error;
  EXPECT_EQ(testing::PackedPixels(*outcome.picture), testing::PackedPixels(sound));
}

class DamagedJpegTest : public ::testing::Test {
 protected:
  Bytes Make(const Encoding& encoding, int width, int height) {
    return EncodeJpeg(dir_.Native(std::string(encoding.name) + ".jpg"), width, height, encoding);
  }
  testing::TempDir dir_;
};

// Every cut that loses compressed data is refused as damaged; a cut of the end marker alone
// (both of its bytes, or its second) loses nothing.
TEST_F(DamagedJpegTest, EveryCutOfTheCompressedDataIsRefused) {
  const Encoding encodings[] = {
      {"baseline"},
      {"progressive", true},
      {"restarts", false, 1},
      {"grey", false, 0, false, true},
      {"grey-progressive", true, 0, false, true},
  };
  for (const Encoding& encoding : encodings) {
    SCOPED_TRACE(encoding.name);
    const Bytes whole = Make(encoding, 48, 40);
    const Outcome sound = Decode(whole);
    ASSERT_TRUE(sound.picture) << sound.error;
    const std::size_t data = FirstScanData(whole);
    ASSERT_NE(data, std::string::npos);
    int refused = 0;
    for (std::size_t size = 0; size + 2 < whole.size(); ++size) {
      const Outcome cut = Decode(Bytes(whole.begin(), whole.begin() + size));
      ASSERT_FALSE(cut.picture) << "cut to " << size << " of " << whole.size() << " bytes";
      if (size >= data) {
        ASSERT_TRUE(Damaged(cut)) << size << ": " << cut.error;
        ASSERT_NE(cut.error.find("ends before the picture is complete"), std::string::npos);
      }
      ++refused;
    }
    EXPECT_GT(refused, 1000);
    for (std::size_t missing : {1, 2}) {
      SCOPED_TRACE(missing);
      ExpectSamePixels(Decode(Bytes(whole.begin(), whole.end() - missing)), *sound.picture);
    }
  }
}

// Real-sized pictures cut as an interrupted copy or download leaves them, from a file.
TEST_F(DamagedJpegTest, PicturesCutShortAreRefusedFromAFile) {
  const Encoding encodings[] = {{"large-baseline"},
                                {"large-progressive", true},
                                {"large-arithmetic", false, 0, true},
                                {"large-arithmetic-progressive", true, 0, true},
                                {"large-restarts", false, 2}};
  for (const Encoding& encoding : encodings) {
    SCOPED_TRACE(encoding.name);
    const Bytes whole = Make(encoding, 640, 480);
    // Arithmetic-coded data may end early by convention: a cut in the last row of blocks of a
    // sequential one goes unnoticed (jpeg_damage.h).
    for (int percent : {10, 50, 90, 99}) {
      if (encoding.arithmetic && !encoding.progressive && percent == 99) continue;
      SCOPED_TRACE(percent);
      const std::string path = dir_.Native(std::string(encoding.name) + "-cut.jpg");
      testing::WriteBytes(path, Bytes(whole.begin(), whole.begin() + whole.size() * percent / 100));
      try {
        DecodeJpegFile(path);
        ADD_FAILURE() << "a cut picture was decoded";
      } catch (const Error& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find("the picture is damaged: its data ends before the picture is "
                               "complete"),
                  std::string::npos)
            << message;
      }
    }
  }
}

TEST_F(DamagedJpegTest, CorruptDataOverALargePartIsRefused) {
  const Encoding encodings[] = {{"corrupt-baseline"},
                                {"corrupt-progressive", true},
                                {"corrupt-restarts", false, 1},
                                {"corrupt-arithmetic", false, 0, true}};
  for (const Encoding& encoding : encodings) {
    SCOPED_TRACE(encoding.name);
    const Bytes whole = Make(encoding, 320, 480);
    const std::vector<Span> scans = ScanData(whole);
    ASSERT_EQ(scans.size(), encoding.progressive ? 10u : 1u);
    for (unsigned seed : {1u, 2u, 3u}) {
      SCOPED_TRACE(seed);
      // The middle third of every scan's data, markers kept: without restart markers the
      // decoder loses its step for the rest of the scan; with them, a third of the intervals.
      Bytes damaged = whole;
      for (const Span& scan : scans) {
        const std::size_t third = (scan.end - scan.begin) / 3;
        Scramble(damaged, scan.begin + third, scan.end - third, seed);
      }
      const Outcome outcome = Decode(damaged);
      EXPECT_TRUE(Damaged(outcome)) << outcome.error;
      EXPECT_NE(outcome.error.find("corrupt"), std::string::npos) << outcome.error;

      // Garbage as a broken disk or transfer leaves it, markers and all.
      Bytes garbage = whole;
      std::mt19937 random(seed);
      const std::size_t from = scans.front().begin + (whole.size() - scans.front().begin) / 3;
      for (std::size_t i = from; i < from + whole.size() / 3; ++i)
        garbage[i] = static_cast<std::uint8_t>(random());
      const Outcome broken = Decode(garbage);
      EXPECT_TRUE(Damaged(broken)) << broken.error;
    }
  }
}

// A run of one bits in the middle of a large scan: a code no Huffman table holds, as a flipped run
// of bits leaves it. The decoder loses its step there, and every row after it is wrong.
// libjpeg-turbo's fast Huffman decoder, which runs whenever plenty of data is at hand, decodes
// such a code as a zero without a warning; the picture must be refused all the same, from memory
// as from a file, wherever the code falls in the file's blocks of reading.
TEST_F(DamagedJpegTest, AnInvalidCodeInALargeScanIsHeardOf) {
  const Bytes whole = Make({"bad-code-baseline"}, 1024, 768);
  const std::vector<Span> scans = ScanData(whole);
  ASSERT_EQ(scans.size(), 1u);
  const std::string path = dir_.Native("bad-code.jpg");
  const std::size_t length = scans[0].end - scans[0].begin;
  for (int eighth = 1; eighth <= 6; ++eighth) {
    SCOPED_TRACE(eighth);
    std::size_t at = scans[0].begin + length * eighth / 8;
    while (whole[at - 1] == 0xFF || whole[at] == 0xFF) ++at;  // not inside a stuffed byte
    Bytes damaged = whole;
    // Data bytes 0xFF 0xFF 0xFF 0xFF, stuffed as they are in a scan: whatever code or value bits
    // end inside the run, the next code starts with sixteen ones.
    const std::uint8_t ones[] = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00};
    std::copy(std::begin(ones), std::end(ones), damaged.begin() + static_cast<std::ptrdiff_t>(at));
    const Outcome fromMemory = Decode(damaged);
    EXPECT_TRUE(Damaged(fromMemory)) << fromMemory.error;
    testing::WriteBytes(path, damaged);
    std::string fromFile;
    try {
      DecodeJpegFile(path);
    } catch (const Error& error) {
      fromFile = error.what();
    }
    // The same reason whichever source read the bytes; only the picture's name differs.
    ASSERT_NE(fromFile.find(": "), std::string::npos) << fromFile;
    ASSERT_NE(fromMemory.error.find(": "), std::string::npos);
    EXPECT_EQ(fromMemory.error.substr(fromMemory.error.find(": ")),
              fromFile.substr(fromFile.find(": ")));
  }
}

// Stray bytes between segments, or a missing end marker after complete scans, leave every scan
// whole: the picture is the sound file's.
TEST_F(DamagedJpegTest, FlawsThatLeaveThePictureWholeStillDecode) {
  const Bytes garbage = {0x12, 0x34, 0x00, 0xFF, 0x00, 0x56};
  for (const Encoding& encoding :
       {Encoding{"flawed-baseline"}, Encoding{"flawed-progressive", true},
        Encoding{"flawed-restarts", false, 1}, Encoding{"flawed-grey", false, 0, false, true}}) {
    SCOPED_TRACE(encoding.name);
    const Bytes whole = Make(encoding, 200, 150);
    const Outcome sound = Decode(whole);
    ASSERT_TRUE(sound.picture) << sound.error;

    // Before the first scan's header, and before every later segment between scans.
    std::vector<std::size_t> markers;
    for (std::size_t i = 2; i + 1 < whole.size(); ++i)
      if (whole[i] == 0xFF &&
          (whole[i + 1] == 0xDA || whole[i + 1] == 0xC4 || whole[i + 1] == 0xDB))
        markers.push_back(i);
    ASSERT_FALSE(markers.empty());
    for (std::size_t at : markers) {
      SCOPED_TRACE(at);
      Bytes flawed(whole.begin(), whole.begin() + at);
      flawed.insert(flawed.end(), garbage.begin(), garbage.end());
      flawed.insert(flawed.end(), whole.begin() + at, whole.end());
      ExpectSamePixels(Decode(flawed), *sound.picture);
    }

    SCOPED_TRACE("no end marker");
    const std::string path = dir_.Native(std::string(encoding.name) + "-open-ended.jpg");
    testing::WriteBytes(path, Bytes(whole.begin(), whole.end() - 2));
    const Bitmap fromFile = DecodeJpegFile(path);
    EXPECT_EQ(testing::PackedPixels(fromFile), testing::PackedPixels(*sound.picture));
  }
}

// One broken restart interval in a tall picture costs one row of blocks: the picture is kept,
// and every row away from the broken one is exactly the sound file's.
TEST_F(DamagedJpegTest, OneBrokenRestartIntervalIsASmallFlaw) {
  const Bytes whole = Make({"one-interval", false, 1}, 320, 800);  // 50 rows of 16 pixels
  const Outcome sound = Decode(whole);
  ASSERT_TRUE(sound.picture) << sound.error;
  const std::vector<std::size_t> restarts = RestartMarkers(whole);
  ASSERT_EQ(restarts.size(), 49u);
  const int broken = 20;  // the interval between restart markers 19 and 20: pixel rows 320..335
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    Bytes damaged = whole;
    Scramble(damaged, restarts[broken - 1] + 2, restarts[broken], seed);
    const Outcome outcome = Decode(damaged);
    ASSERT_TRUE(outcome.picture) << outcome.error;
    for (int y = 0; y < 800; ++y) {
      if (y >= (broken - 1) * 16 && y < (broken + 2) * 16) continue;  // upsampling reaches over
      ASSERT_EQ(0, std::memcmp(outcome.picture->Row(y), sound.picture->Row(y), 320 * 3)) << y;
    }
  }
}

// Pictures as ImageMagick writes them: its progressive scans and its optimised tables.
TEST_F(DamagedJpegTest, ImageMagicksPicturesCutOrOpenEnded) {
  if (!testing::HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  for (const char* interlace : {"None", "JPEG"}) {
    SCOPED_TRACE(interlace);
    const std::string path = dir_.Native(std::string("magick-") + interlace + ".jpg");
    testing::Convert(testing::PlasmaSource(160, 120) + " -quality 92 -interlace " + interlace,
                     path);
    const Bytes whole = testing::ReadBytes(path);
    const Outcome sound = Decode(whole);
    ASSERT_TRUE(sound.picture) << sound.error;
    for (std::size_t size = FirstScanData(whole); size + 2 < whole.size(); size += 7)
      ASSERT_TRUE(Damaged(Decode(Bytes(whole.begin(), whole.begin() + size)))) << size;
    ExpectSamePixels(Decode(Bytes(whole.begin(), whole.end() - 2)), *sound.picture);
  }
}

}  // namespace
}  // namespace dova
