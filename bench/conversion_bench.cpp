// The whole conversion of a 24-megapixel photo, as separate processes: the program's streamed
// conversion on one thread and on more, the conversion of the whole decoded picture it replaced,
// and vipsthumbnail doing the same work, each run N times and the median of each figure kept.
//
//   conversion_bench [--repeats N] [--pictures DIR] [--threads 1,2,...]
//
// The photo (6000x4000, fractal plasma, quality 90, made by ImageMagick) goes to 3840x2160 with
// Lanczos3 and to a bitmap of its own size. Our conversions are `picture_bench --convert`
// (beside this program); vipsthumbnail writes PPM, having no BMP writer of its own. Wall times
// count from the start of the process to its end; CPU is user + system of all its threads;
// peak is its largest resident set. On a shared machine the wall times follow the load, which
// is printed before and after.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_process.h"

namespace {

using dova::bench::Outcome;
using dova::bench::Run;

constexpr const char* kMagick = "/usr/bin/convert";  // the real one, not a stand-in on PATH
constexpr const char* kThumbnail = "/usr/bin/vipsthumbnail";
constexpr int kLanczos3 = 5;

struct Figures {
  double wall = 0, cpu = 0, peakMib = 0;
  bool ok = false;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Figures Measure(const std::vector<std::string>& command, int repeats) {
  std::vector<double> wall, cpu, peak;
  for (int r = 0; r < repeats; ++r) {
    const Outcome o = Run(command);
    if (!o.ok) return Figures{};
    wall.push_back(o.wall);
    cpu.push_back(o.cpu);
    peak.push_back(o.peakKb / 1024.0);
  }
  return Figures{Median(wall), Median(cpu), Median(peak), true};
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

std::string Directory(const std::string& path) { return path.substr(0, path.rfind('/')); }

void PrintRow(const std::string& name, const Figures& f) {
  if (!f.ok) {
    std::printf("%-40s %9s\n", name.c_str(), "failed");
    return;
  }
  std::printf("%-40s %9.0f %9.0f %9.1f\n", name.c_str(), f.wall, f.cpu, f.peakMib);
}

std::vector<int> ThreadCounts(const std::string& list) {
  std::vector<int> counts;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (std::atoi(item.c_str()) > 0) counts.push_back(std::atoi(item.c_str()));
  }
  return counts;
}

}  // namespace

int main(int argc, char** argv) {
  int repeats = 5;
  std::string dir = "/tmp/conversion_bench";
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  std::vector<int> threads = {1, 2};
  if (processors > 2) threads.push_back(static_cast<int>(processors));
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--repeats") repeats = std::max(1, std::atoi(argv[i + 1]));
    if (option == "--pictures") dir = argv[i + 1];
    if (option == "--threads") threads = ThreadCounts(argv[i + 1]);
  }
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return 1;
  self[length] = '\0';
  const std::string ours = Directory(self) + "/picture_bench";

  mkdir(dir.c_str(), 0755);
  dova::bench::gErrorLog = dir + "/errors.log";
  const std::string photo = dir + "/photo.jpg";  // the same picture as picture_bench's
  if (access(photo.c_str(), F_OK) != 0) {
    std::printf("making %s (6000x4000)...\n", photo.c_str());
    std::fflush(stdout);
    if (!Run({kMagick, "-seed", "1234", "-size", "6000x4000", "plasma:fractal", "-quality", "90",
              photo})
             .ok) {
      std::fprintf(stderr, "ImageMagick makes the photo: apt-get install imagemagick\n");
      return 1;
    }
  }
  const std::string resized = dir + "/resized.bmp";
  const std::string own = dir + "/own.bmp";
  const std::string load = LoadAverage();

  std::printf("\nWhole conversion, 6000x4000 JPEG -> 3840x2160 Lanczos3 -> file, %d runs, "
              "medians; %u processors\n", repeats, processors);
  std::printf("%-40s %9s %9s %9s\n", "", "wall ms", "CPU ms", "peak MiB");
  std::vector<Figures> streamed;
  for (int t : threads) {
    streamed.push_back(Measure({ours, "--convert", photo, resized, "3840", "2160",
                                std::to_string(kLanczos3), std::to_string(t)},
                               repeats));
    PrintRow("ours, " + std::to_string(t) + " thread" + (t > 1 ? "s" : ""), streamed.back());
  }
  const Figures whole = Measure(
      {ours, "--convert-whole", photo, dir + "/whole.bmp", "3840", "2160",
       std::to_string(kLanczos3)},
      repeats);
  PrintRow("ours before streaming (whole picture)", whole);
  Figures thumbnail, thumbnailThreads;
  if (access(kThumbnail, X_OK) == 0) {
    const std::vector<std::string> command = {kThumbnail, photo, "-s", "3840x2160!", "-o",
                                              dir + "/thumbnail.ppm"};
    setenv("VIPS_CONCURRENCY", "1", 1);
    thumbnail = Measure(command, repeats);
    PrintRow("vipsthumbnail, VIPS_CONCURRENCY=1", thumbnail);
    unsetenv("VIPS_CONCURRENCY");
    thumbnailThreads = Measure(command, repeats);
    PrintRow("vipsthumbnail, its own threads", thumbnailThreads);
  } else {
    std::printf("vipsthumbnail not found: apt-get install libvips-tools\n");
  }
  if (thumbnail.ok) {
    std::printf("\nours / vipsthumbnail with VIPS_CONCURRENCY=1 (wall, CPU):\n");
    for (std::size_t i = 0; i < threads.size(); ++i) {
      if (!streamed[i].ok) continue;
      std::printf("  %2d thread%s  %.2f  %.2f\n", threads[i], threads[i] > 1 ? "s" : " ",
                  streamed[i].wall / thumbnail.wall, streamed[i].cpu / thumbnail.cpu);
    }
  }
  std::ifstream check(resized, std::ios::binary | std::ios::ate);
  std::printf("bitmap written: %.1f MiB\n", static_cast<double>(check.tellg()) / (1 << 20));

  std::printf("\nWithout resizing, 6000x4000 JPEG -> its own size in a bitmap file\n");
  std::printf("%-40s %9s %9s %9s\n", "", "wall ms", "CPU ms", "peak MiB");
  const Figures streamedOwn = Measure({ours, "--convert", photo, own, "0", "0", "0"}, repeats);
  PrintRow("ours", streamedOwn);
  const Figures wholeOwn =
      Measure({ours, "--convert-whole", photo, dir + "/whole_own.bmp", "0", "0", "0"}, repeats);
  PrintRow("ours before streaming (whole picture)", wholeOwn);
  std::ifstream bitmap(own, std::ios::binary | std::ios::ate);
  const double bitmapMib = static_cast<double>(bitmap.tellg()) / (1 << 20);
  std::printf("bitmap: %.1f MiB; peak / bitmap: %.3f\n", bitmapMib,
              streamedOwn.peakMib / bitmapMib);

  std::printf("\nload average before: %s, after: %s\n", load.c_str(), LoadAverage().c_str());
  return 0;
}
