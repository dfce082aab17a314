#include "wallpaper/bmp_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/support/test_pictures.h"
#include "wallpaper/jpeg_decoder.h"

namespace dova {
namespace {

using testing::Bytes;

std::uint32_t Read32(const Bytes& bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
         (std::uint32_t(bytes[at + 3]) << 24);
}
std::uint32_t Read16(const Bytes& bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8);
}

Bitmap RandomPicture(int width, int height, int bitsPerPixel, unsigned seed) {
  Bitmap picture(width, height, bitsPerPixel);
  std::mt19937 random(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width * picture.BytesPerPixel(); ++x)
      picture.Row(y)[x] = static_cast<std::uint8_t>(random());
  return picture;
}

class BmpFileTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
};

TEST_F(BmpFileTest, WritesWindowsHeadersAndBottomUpRows) {
  // 5 pixels of 3 bytes make 15, padded to 16.
  Bitmap colour(5, 3, 24);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 15; ++x) colour.Row(y)[x] = static_cast<std::uint8_t>(16 * y + x + 1);
  const std::string path = dir_.Native("colour.bmp");
  SaveBmpFile(colour, path);
  const Bytes file = testing::ReadBytes(path);
  ASSERT_EQ(file.size(), 14u + 40u + 3u * 16u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Read32(file, 2), file.size());
  EXPECT_EQ(Read32(file, 6), 0u);
  EXPECT_EQ(Read32(file, 10), 54u);  // pixel data offset
  EXPECT_EQ(Read32(file, 14), 40u);  // BITMAPINFOHEADER
  EXPECT_EQ(Read32(file, 18), 5u);
  EXPECT_EQ(Read32(file, 22), 3u);  // positive: bottom-up
  EXPECT_EQ(Read16(file, 26), 1u);
  EXPECT_EQ(Read16(file, 28), 24u);
  EXPECT_EQ(Read32(file, 30), 0u);  // BI_RGB
  EXPECT_EQ(Read32(file, 34), 48u);
  EXPECT_EQ(Read32(file, 38), 2835u);
  EXPECT_EQ(Read32(file, 42), 2835u);
  EXPECT_EQ(Read32(file, 46), 0u);
  EXPECT_EQ(Read32(file, 50), 0u);
  for (int row = 0; row < 3; ++row) {
    const std::size_t at = 54 + 16 * row;
    const Bytes expected(colour.Row(2 - row), colour.Row(2 - row) + 15);
    EXPECT_EQ(Bytes(file.begin() + at, file.begin() + at + 15), expected) << row;
    EXPECT_EQ(file[at + 15], 0) << "padding";
  }

  Bitmap grey(6, 2, 8);
  for (int x = 0; x < 6; ++x) grey.Row(0)[x] = static_cast<std::uint8_t>(x), grey.Row(1)[x] = 200;
  SaveBmpFile(grey, path);  // replaces the colour file
  const Bytes greyFile = testing::ReadBytes(path);
  ASSERT_EQ(greyFile.size(), 14u + 40u + 1024u + 2u * 8u);
  EXPECT_EQ(Read32(greyFile, 2), greyFile.size());
  EXPECT_EQ(Read32(greyFile, 10), 1078u);
  EXPECT_EQ(Read16(greyFile, 28), 8u);
  EXPECT_EQ(Read32(greyFile, 34), 16u);
  EXPECT_EQ(Read32(greyFile, 46), 256u);  // colours used
  for (std::uint32_t i = 0; i < 256; ++i)
    EXPECT_EQ(Read32(greyFile, 54 + 4 * i), i | (i << 8) | (i << 16)) << i;
  EXPECT_EQ(Bytes(greyFile.begin() + 1078, greyFile.end()),
            Bytes({200, 200, 200, 200, 200, 200, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0}));
}

TEST_F(BmpFileTest, PicturesComeBackAsTheyWereSaved) {
  const std::string path = dir_.Native("picture.bmp");
  for (int bits : {8, 24}) {
    for (int width = 1; width <= 9; ++width) {
      for (int height : {1, 2, 7}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + "x" +
                     std::to_string(bits));
        const Bitmap saved = RandomPicture(width, height, bits, width * 100 + height);
        SaveBmpFile(saved, path);
        const Bitmap loaded = LoadBmpFile(path);
        ASSERT_EQ(loaded.Width(), width);
        ASSERT_EQ(loaded.Height(), height);
        ASSERT_EQ(loaded.BitsPerPixel(), bits);
        EXPECT_EQ(testing::PackedPixels(loaded), testing::PackedPixels(saved));
      }
    }
  }
  EXPECT_THROW(SaveBmpFile(Bitmap(), path), Error);
}

TEST_F(BmpFileTest, AFailedWriteLeavesNoPartialFile) {
  const std::string nowhere = dir_.Native("no-such-directory") + "/wallpaper1.bmp";
  try {
    SaveBmpFile(RandomPicture(4, 4, 24, 1), nowhere);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Unable to write to " + nowhere, 0), 0u)
        << error.what();
  }
  EXPECT_FALSE(FileExists(nowhere));

#ifndef _WIN32
  // A disk that fills up part way: the file size limit makes writes fail as a full disk does.
  // The older file of the same name stays as it was, and the partial one goes.
  const std::string path = dir_.Native("wallpaper2.bmp");
  const Bitmap older = RandomPicture(8, 8, 24, 2);
  SaveBmpFile(older, path);
  const auto fillDisk = [&](int side, rlim_t room) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {room, room};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      SaveBmpFile(RandomPicture(side, side, 24, 3), path);
    } catch (const Error& error) {
      const bool named = std::string(error.what()).find("Unable to write to " + path) == 0;
      const bool kept = testing::PackedPixels(LoadBmpFile(path)) == testing::PackedPixels(older);
      std::_Exit(named && kept && !FileExists(path + ".new") ? 0 : 2);
    }
    std::_Exit(1);
  };
  // The larger picture fails in the middle of the rows; the smaller one fits in the stream's
  // buffer and fails only when that is flushed.
  EXPECT_EXIT(fillDisk(200, 20000), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(fillDisk(30, 1000), ::testing::ExitedWithCode(0), "");
#endif
}

TEST_F(BmpFileTest, LoadRefusesOtherFiles) {
  const std::string path = dir_.Native("other.bmp");
  SaveBmpFile(RandomPicture(300, 200, 24, 4), path);
  const Bytes good = testing::ReadBytes(path);
  const auto refused = [&](const Bytes& bytes) {
    testing::WriteBytes(path, bytes);
    try {
      LoadBmpFile(path);
    } catch (const Error& error) {
      return std::string(error.what()).find(path) != std::string::npos;
    }
    return false;
  };
  EXPECT_TRUE(refused({}));
  EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + 53)));
  EXPECT_TRUE(refused(Bytes(good.begin(), good.end() - 1)));
  Bytes changed = good;
  changed[0] = 'X';
  EXPECT_TRUE(refused(changed));
  changed = good;
  changed[28] = 32;  // 32 bits per pixel
  EXPECT_TRUE(refused(changed));
  changed = good;
  changed[30] = 1;  // run-length compressed
  EXPECT_TRUE(refused(changed));
  // A header claiming a huge picture in a small file is refused before anything is allocated.
  changed = good;
  changed[18] = changed[19] = changed[22] = changed[23] = 0xFF;
  EXPECT_TRUE(refused(changed));
  EXPECT_THROW(LoadBmpFile(dir_.Native("missing.bmp")), Error);

  // A 24-bit file may state a number of colours without having a palette (found by fuzzing:
  // the palette check read one that was not there).
  changed = good;
  changed[46] = 16;
  testing::WriteBytes(path, changed);
  EXPECT_EQ(testing::PackedPixels(LoadBmpFile(path)),
            testing::PackedPixels(RandomPicture(300, 200, 24, 4)));
}

TEST_F(BmpFileTest, OtherProgramsReadOurBitmaps) {
  if (!testing::HaveImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  for (const char* colourspace : {"sRGB", "Gray"}) {
    SCOPED_TRACE(colourspace);
    const bool grey = std::string(colourspace) == "Gray";
    const std::string jpeg = dir_.Native(std::string("photo-") + colourspace + ".jpg");
    testing::Convert(testing::PlasmaSource(101, 67) + " -colorspace " + colourspace, jpeg);
    const Bitmap decoded = DecodeJpegFile(jpeg);
    ASSERT_EQ(decoded.BitsPerPixel(), grey ? 8 : 24);

    const std::string bmp = dir_.Native(std::string("wallpaper-") + colourspace + ".bmp");
    SaveBmpFile(decoded, bmp);
    EXPECT_EQ(testing::PackedPixels(LoadBmpFile(bmp)), testing::PackedPixels(decoded));

    const std::string info = bmp + ".txt";
    ASSERT_EQ(testing::RunCommand("identify -format '%m %w %h %z' " + testing::Quote(bmp) + " > " +
                                  testing::Quote(info)),
              0);
    const Bytes text = testing::ReadBytes(info);
    EXPECT_EQ(std::string(text.begin(), text.end()), "BMP3 101 67 8");
    EXPECT_EQ(testing::ImageMagickPixels(bmp, grey), testing::PackedPixels(decoded));
  }
}

}  // namespace
}  // namespace dova
