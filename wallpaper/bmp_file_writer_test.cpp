#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/support/test_pictures.h"
#include "wallpaper/bmp_file.h"

namespace dova {
namespace {

using testing::Bytes;

Bitmap RandomPicture(int width, int height, int bitsPerPixel, unsigned seed) {
  Bitmap picture(width, height, bitsPerPixel);
  std::mt19937 random(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width * picture.BytesPerPixel(); ++x)
      picture.Row(y)[x] = static_cast<std::uint8_t>(random());
  return picture;
}

// Rows first .. first + count - 1 of `picture` laid out as the file holds them.
std::vector<std::uint8_t> Band(const Bitmap& picture, std::size_t stride, int first, int count) {
  std::vector<std::uint8_t> band(stride * count, 0);
  for (int i = 0; i < count; ++i) {
    std::memcpy(&band[i * stride], picture.Row(first + count - 1 - i),
                static_cast<std::size_t>(picture.Width()) * picture.BytesPerPixel());
  }
  return band;
}

class BmpFileWriterTest : public ::testing::Test {
 protected:
  testing::TempDir dir_;
};

TEST_F(BmpFileWriterTest, BandsInAnyOrderMakeTheFileSaveBmpFileWrites) {
  for (int bits : {24, 8}) {
    for (int width : {1, 2, 3, 5, 64, 99}) {
      SCOPED_TRACE(std::to_string(width) + " pixels of " + std::to_string(bits) + " bits");
      const int height = 37;
      const Bitmap picture = RandomPicture(width, height, bits, width * bits);
      const std::string expected = dir_.Native("expected.bmp");
      SaveBmpFile(picture, expected);

      // Bands of 1 to 6 rows, written bottom first, top first and shuffled, from two threads.
      std::vector<std::pair<int, int>> bands;
      for (int first = 0, size = 1; first < height; first += size, size = size % 6 + 1) {
        bands.emplace_back(first, std::min(size, height - first));
      }
      std::mt19937 random(7);
      for (int order = 0; order < 3; ++order) {
        if (order == 1) std::reverse(bands.begin(), bands.end());
        if (order == 2) std::shuffle(bands.begin(), bands.end(), random);
        const std::string path = dir_.Native("written.bmp");
        BmpFileWriter writer(path, width, height, bits);
        const auto writeHalf = [&](std::size_t start) {
          for (std::size_t b = start; b < bands.size(); b += 2) {
            const auto [first, count] = bands[b];
            writer.WriteBand(first, count, Band(picture, writer.Stride(), first, count).data());
          }
        };
        std::thread other(writeHalf, 1);
        writeHalf(0);
        other.join();
        writer.Finish();
        EXPECT_TRUE(testing::ReadBytes(path) == testing::ReadBytes(expected)) << "order " << order;
      }
    }
  }
}

TEST_F(BmpFileWriterTest, AnUnfinishedFileIsRemoved) {
  const Bitmap picture = RandomPicture(10, 10, 24, 3);
  const std::string path = dir_.Native("wallpaper1.bmp");
  {
    BmpFileWriter writer(path, 10, 10, 24);
    writer.WriteBand(0, 5, Band(picture, writer.Stride(), 0, 5).data());
    EXPECT_TRUE(FileExists(path + ".new")) << "written beside its place";
    EXPECT_FALSE(FileExists(path));
  }  // left without Finish, as when the decoding fails
  EXPECT_FALSE(FileExists(path + ".new"));
  EXPECT_FALSE(FileExists(path));

  // Finishing with rows missing is a fault, not a picture with a hole.
  BmpFileWriter writer(path, 10, 10, 24);
  writer.WriteBand(0, 9, Band(picture, writer.Stride(), 0, 9).data());
  EXPECT_THROW(writer.Finish(), Error);
  EXPECT_FALSE(FileExists(path));

  const std::string nowhere = dir_.Native("no-such-directory") + "/wallpaper1.bmp";
  EXPECT_THROW(BmpFileWriter(nowhere, 10, 10, 24), Error);
  EXPECT_THROW(BmpFileWriter(path, 0, 10, 24), Error);
  EXPECT_THROW(BmpFileWriter(path, 70000, 70000, 24), Error);  // beyond 4 GB
  EXPECT_FALSE(FileExists(path));
}

#ifndef _WIN32
TEST_F(BmpFileWriterTest, AFullDiskLeavesNoFile) {
  // The file size limit makes writes fail as a full disk does.
  const std::string path = dir_.Native("wallpaper2.bmp");
  const auto fillDisk = [&path](rlim_t room, bool bottomFirst) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {room, room};
    setrlimit(RLIMIT_FSIZE, &limit);
    const Bitmap picture = RandomPicture(200, 200, 24, 4);
    try {
      BmpFileWriter writer(path, 200, 200, 24);
      for (int band = 0; band < 10; ++band) {
        const int first = bottomFirst ? 180 - 20 * band : 20 * band;
        writer.WriteBand(first, 20, Band(picture, writer.Stride(), first, 20).data());
      }
      writer.Finish();
    } catch (const Error& error) {
      const bool named = std::string(error.what()).find("Unable to write to " + path) == 0;
      std::_Exit(named && !FileExists(path) ? 0 : 2);
    }
    std::_Exit(1);
  };
  // Top first, the first band goes to the end of the file, beyond the room there is; bottom
  // first, the disk fills up part way.
  EXPECT_EXIT(fillDisk(20000, false), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(fillDisk(100000, true), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
}  // namespace dova
