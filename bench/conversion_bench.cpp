// The whole conversion of a 24-megapixel photo, as separate processes: the program's streamed
// conversion on one thread and on more, the conversion of the whole decoded picture it replaced,
// and vipsthumbnail doing the same work, each run N times and the median of each figure kept.
//
//   conversion_bench [--repeats N] [--pictures DIR] [--threads 1,2,...] [--only composed]
//
// --only composed measures only two screens composed into one bitmap against their two single
// conversions (on the largest thread count).
//
// The photo (6000x4000, fractal plasma, quality 90, made by ImageMagick) goes to 3840x2160 with
// Lanczos3 and to a bitmap of its own size. Our conversions are `picture_bench --convert`
// (beside this program); vipsthumbnail writes PPM, having no BMP writer of its own. Wall times
// count from the start of the process to its end; CPU is user + system of all its threads;
// peak is its largest resident set. On a shared machine the wall times follow the load, which
// is printed before and after; the best wall time of the runs shows what a quiet moment gives.
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
#include "wallpaper/composed_wallpaper.h"

namespace {

using dova::bench::Milliseconds;
using dova::bench::Outcome;
using dova::bench::PrintUsageSince;
using dova::bench::Run;

constexpr const char* kMagick = "/usr/bin/convert";  // the real one, not a stand-in on PATH
constexpr const char* kThumbnail = "/usr/bin/vipsthumbnail";
constexpr int kLanczos3 = 5;

struct Figures {
  double wall = 0, cpu = 0, peakMib = 0;
  double bestWall = 0;  // the run least disturbed by the rest of the machine
  bool ok = false;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs every command `repeats` times, taking them in turn, so that a change in the machine's
// load falls on all of them alike; the median of each figure for each command.
std::vector<Figures> Measure(const std::vector<std::vector<std::string>>& commands, int repeats) {
  std::vector<std::vector<double>> wall(commands.size()), cpu(commands.size()),
      peak(commands.size());
  std::vector<bool> failed(commands.size(), false);
  for (int r = 0; r < repeats; ++r) {
    for (std::size_t c = 0; c < commands.size(); ++c) {
      if (failed[c]) continue;
      const Outcome o = Run(commands[c]);
      failed[c] = !o.ok;
      wall[c].push_back(o.wall);
      cpu[c].push_back(o.cpu);
      peak[c].push_back(o.peakKb / 1024.0);
    }
  }
  std::vector<Figures> figures(commands.size());
  for (std::size_t c = 0; c < commands.size(); ++c) {
    if (!failed[c]) {
      figures[c] = Figures{Median(wall[c]), Median(cpu[c]), Median(peak[c]),
                           *std::min_element(wall[c].begin(), wall[c].end()), true};
    }
  }
  return figures;
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
  std::printf("%-40s %9.0f %9.0f %9.1f %10.0f\n", name.c_str(), f.wall, f.cpu, f.peakMib,
              f.bestWall);
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

// Two pictures for two width x height screens side by side, streamed into one bitmap of the
// whole desktop: conversion_bench --compose left.jpg right.jpg target.bmp W H FILTER THREADS.
// Prints CPU ms, wall ms and the peak resident set in KiB, as --convert does.
int ComposeOnce(int argc, char** argv) {
  if (argc != 9) return 2;
  const int width = std::atoi(argv[5]), height = std::atoi(argv[6]);
  std::vector<dova::MonitorArea> monitors(2);
  monitors[0].width = monitors[1].width = width;
  monitors[0].height = monitors[1].height = height;
  monitors[0].primary = true;
  monitors[1].left = width;
  dova::ConvertOptions options;
  options.mode = dova::ResizeMode::Program;
  options.filterIndex = std::atoi(argv[7]);
  options.threads = std::atoi(argv[8]);
  const double cpu = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
  const double wall = Milliseconds(CLOCK_MONOTONIC);
  std::string missing;
  if (!dova::ComposeWallpaper({argv[2], argv[3]},
                              dova::ComposeLayout(monitors, dova::TileStart::VirtualScreen),
                              argv[4], options, missing)) {
    std::fprintf(stderr, "%s: no such file\n", missing.c_str());
    return 1;
  }
  return PrintUsageSince(cpu, wall);
}

// Two 3840x2160 screens from two 24-megapixel JPEGs, composed into one 7680x2160 bitmap, beside
// the two single conversions on the same threads: the composition should cost no more than the
// two conversions it is made of (at most 1.1 times their sum) and hold one conversion's memory
// (at most 48 MiB) plus one band of rows.
void ComposedScreens(const std::string& self, const std::string& ours, const std::string& dir,
                     const std::string& photo, int repeats, int threads) {
  const std::string second = dir + "/photo2.jpg";
  if (access(second.c_str(), F_OK) != 0 && !Run({kMagick, "-seed", "5678", "-size", "6000x4000",
                                                 "plasma:fractal", "-quality", "90", second})
                                                .ok)
    return;
  const std::string t = std::to_string(threads);
  const std::vector<Figures> f =
      Measure({{ours, "--convert", photo, dir + "/screen1.bmp", "3840", "2160", "5", t},
               {ours, "--convert", second, dir + "/screen2.bmp", "3840", "2160", "5", t},
               {self, "--compose", photo, second, dir + "/composed.bmp", "3840", "2160", "5", t}},
              repeats);
  std::printf("\nTwo 3840x2160 screens from two 6000x4000 JPEGs, Lanczos3, %d thread%s\n", threads,
              threads > 1 ? "s" : "");
  std::printf("%-40s %9s %9s %9s %10s\n", "", "wall ms", "CPU ms", "peak MiB", "best wall");
  PrintRow("first screen alone", f[0]);
  PrintRow("second screen alone", f[1]);
  PrintRow("both composed into one bitmap", f[2]);
  if (!f[0].ok || !f[1].ok || !f[2].ok) return;
  const double bandMib = 1.0;  // the rows written to the file at once
  std::printf("composed / (first + second), wall: %.3f (at most 1.1); best wall: %.3f\n",
              f[2].wall / (f[0].wall + f[1].wall), f[2].bestWall / (f[0].bestWall + f[1].bestWall));
  std::printf("composed peak: %.1f MiB (at most 48 + %.0f band = %.0f MiB)\n", f[2].peakMib,
              bandMib, 48 + bandMib);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--compose") return ComposeOnce(argc, argv);
  int repeats = 5;
  std::string dir = "/tmp/conversion_bench";
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  std::vector<int> threads = {1, 2};
  std::string only;
  if (processors > 2) threads.push_back(static_cast<int>(processors));
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--repeats") repeats = std::max(1, std::atoi(argv[i + 1]));
    if (option == "--pictures") dir = argv[i + 1];
    if (option == "--threads") threads = ThreadCounts(argv[i + 1]);
    if (option == "--only") only = argv[i + 1];
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
  if (only == "composed") {
    ComposedScreens(self, ours, dir, photo, repeats, threads.back());
    return 0;
  }
  const std::string resized = dir + "/resized.bmp";
  const std::string ownSize = dir + "/own.bmp";
  const std::string load = LoadAverage();

  // vipsthumbnail takes its thread count from the environment, read when it starts.
  const bool haveThumbnail = access(kThumbnail, X_OK) == 0;
  const std::vector<std::string> thumbnail = {
      "/usr/bin/env", "VIPS_CONCURRENCY=1", kThumbnail, photo,
      "-s",           "3840x2160!",         "-o",       dir + "/thumbnail.ppm"};
  const std::vector<std::string> thumbnailThreads = {"/usr/bin/env", "-u",  "VIPS_CONCURRENCY",
                                                     kThumbnail,     photo, "-s",
                                                     "3840x2160!",   "-o",  dir + "/thumbnail.ppm"};
  std::vector<std::vector<std::string>> commands;
  std::vector<std::string> names;
  for (int t : threads) {
    commands.push_back({ours, "--convert", photo, resized, "3840", "2160",
                        std::to_string(kLanczos3), std::to_string(t)});
    names.push_back("ours, " + std::to_string(t) + " thread" + (t > 1 ? "s" : ""));
  }
  commands.push_back({ours, "--convert-whole", photo, dir + "/whole.bmp", "3840", "2160",
                      std::to_string(kLanczos3)});
  names.push_back("ours before streaming (whole picture)");
  if (haveThumbnail) {
    commands.push_back(thumbnail);
    names.push_back("vipsthumbnail, VIPS_CONCURRENCY=1");
    commands.push_back(thumbnailThreads);
    names.push_back("vipsthumbnail, its own threads");
  } else {
    std::printf("vipsthumbnail not found: apt-get install libvips-tools\n");
  }
  std::printf(
      "\nWhole conversion, 6000x4000 JPEG -> 3840x2160 Lanczos3 -> file, %d runs in "
      "turn, medians; %u processors\n",
      repeats, processors);
  std::printf("%-40s %9s %9s %9s %10s\n", "", "wall ms", "CPU ms", "peak MiB", "best wall");
  const std::vector<Figures> figures = Measure(commands, repeats);
  for (std::size_t c = 0; c < commands.size(); ++c) PrintRow(names[c], figures[c]);
  const std::size_t single = threads.size() + 1;  // vipsthumbnail on one thread
  if (haveThumbnail && figures[single].ok) {
    std::printf("\nours / vipsthumbnail with VIPS_CONCURRENCY=1 (wall, CPU, best wall):\n");
    for (std::size_t i = 0; i < threads.size(); ++i) {
      if (!figures[i].ok) continue;
      std::printf("  %2d thread%s  %.2f  %.2f  %.2f\n", threads[i], threads[i] > 1 ? "s" : " ",
                  figures[i].wall / figures[single].wall, figures[i].cpu / figures[single].cpu,
                  figures[i].bestWall / figures[single].bestWall);
    }
  }
  std::ifstream check(resized, std::ios::binary | std::ios::ate);
  std::printf("bitmap written: %.1f MiB\n", static_cast<double>(check.tellg()) / (1 << 20));

  std::printf("\nWithout resizing, 6000x4000 JPEG -> its own size in a bitmap file\n");
  std::printf("%-40s %9s %9s %9s %10s\n", "", "wall ms", "CPU ms", "peak MiB", "best wall");
  const std::vector<Figures> own =
      Measure({{ours, "--convert", photo, ownSize, "0", "0", "0"},
               {ours, "--convert-whole", photo, dir + "/whole_own.bmp", "0", "0", "0"}},
              repeats);
  PrintRow("ours", own[0]);
  PrintRow("ours before streaming (whole picture)", own[1]);
  std::ifstream bitmap(ownSize, std::ios::binary | std::ios::ate);
  const double bitmapMib = static_cast<double>(bitmap.tellg()) / (1 << 20);
  std::printf("bitmap: %.1f MiB; peak / bitmap: %.3f\n", bitmapMib, own[0].peakMib / bitmapMib);

  ComposedScreens(self, ours, dir, photo, repeats, threads.back());

  std::printf("\nload average before: %s, after: %s\n", load.c_str(), LoadAverage().c_str());
  return 0;
}
