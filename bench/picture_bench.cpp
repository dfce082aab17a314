// Times the program's resampler and its whole picture conversion (decode a JPEG, stretch it to
// the screen, write the BMP) against ImageMagick, libvips and Pillow doing the same work on the
// same generated pictures, each on one thread, and prints the figures as tables.
//
//   picture_bench [--repeats N] [--pictures DIR]
//       N runs of everything, the best one counted (default 3). The pictures are generated with
//       ImageMagick into DIR (kept) or into a temporary directory (removed).
//   picture_bench --convert SOURCE TARGET.bmp WIDTH HEIGHT FILTER_INDEX [THREADS [PLACEMENT]]
//       one conversion as the program does it; prints "cpu_ms wall_ms peak_kb". THREADS is the
//       number of threads at work (default 0: one a processor, as the program has it); a WIDTH
//       and HEIGHT of 0 write the picture at its own size, as when the program does not resize.
//       PLACEMENT is "stretch" (the default), "fill" or "fit" (on black).
//   picture_bench --convert-whole SOURCE.jpg TARGET.bmp WIDTH HEIGHT FILTER_INDEX
//       the same as the program did before it streamed: the whole picture decoded, then
//       resampled, then written; for comparison.
//
// Times are CPU times (user + system of all the process's threads): on a shared machine they
// are what the work costs, whatever else runs. Ratios are ours / theirs: below 1 we are faster.
// The tables run our conversion on one thread, as the tools run on one.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

#include "bench/bench_process.h"
#include "wallpaper/bitmap.h"
#include "wallpaper/bmp_file.h"
#include "wallpaper/jpeg_decoder.h"
#include "wallpaper/resample.h"
#include "wallpaper/wallpaper_installer.h"

namespace {

using dova::Bitmap;
using dova::bench::Milliseconds;
using dova::bench::PrintUsageSince;
using dova::bench::Run;
using dova::bench::TimeCommand;
using dova::bench::Timing;

constexpr const char* kMagick = "/usr/bin/convert";  // the real one, not a stand-in on PATH
constexpr const char* kVips = "/usr/bin/vips";
constexpr const char* kThumbnail = "/usr/bin/vipsthumbnail";
constexpr const char* kPython = "/usr/bin/python3";  // Debian's, which has python3-pil

struct Size {
  int width, height;
};
constexpr Size kPhoto{6000, 4000}, kScreen{3840, 2160}, kHd{1920, 1080}, kXga{1024, 768};

// Each of our filters by the name the other tools give it; null where a tool lacks it.
struct ToolNames {
  const char* magick;
  const char* vips;
  const char* pillow;
};
constexpr ToolNames kToolNames[7] = {
    {"Box", nullptr, "BOX"},
    {"Triangle", "linear", "BILINEAR"},
    {"Hermite", nullptr, nullptr},
    {"Quadratic", nullptr, nullptr},  // ImageMagick's quadratic B-spline is the Bell filter
    {"Cubic", nullptr, nullptr},      // and its Cubic the cubic B-spline
    {"Lanczos", "lanczos3", "LANCZOS"},
    {"Mitchell", "mitchell", nullptr},
};

bool Executable(const char* path) { return access(path, X_OK) == 0; }

std::string Format(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, ms < 100 ? "%.1f" : "%.0f", ms);
  return text;
}

// "1234 (0.12)": their time and our share of it.
std::string Cell(const Timing& theirs, double ours) {
  if (!theirs.ok) return "n/a";
  char text[48];
  std::snprintf(text, sizeof text, "%s (%.2f)", Format(theirs.cpu).c_str(), ours / theirs.cpu);
  return text;
}

std::string Arg(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9f", value);
  return text;
}

// --- our own work
// ---------------------------------------------------------------------------------

Timing TimeStrecth(const Bitmap& source, Size to, int filter, int repeats) {
  Timing timing;
  const dova::ResampleFilter& f = dova::ResampleFilters[filter];
  for (int r = 0; r < repeats; ++r) {
    Bitmap copy = source;
    Bitmap destination(to.width, to.height, 24);
    const double cpu = Milliseconds(CLOCK_THREAD_CPUTIME_ID);
    const double wall = Milliseconds(CLOCK_MONOTONIC);
    dova::Strecth(copy, destination, f.filter, f.support);
    timing.Keep(Milliseconds(CLOCK_THREAD_CPUTIME_ID) - cpu, Milliseconds(CLOCK_MONOTONIC) - wall,
                0);
  }
  return timing;
}

// The conversion as the wallpaper installer does it.
int ConvertOnce(int argc, char** argv) {
  if (argc < 7 || argc > 9) return 2;
  dova::ConvertOptions options;
  options.screen = {std::atoi(argv[4]), std::atoi(argv[5])};
  const std::string placement = argc == 9 ? argv[8] : "stretch";
  if (options.screen.width > 0 && options.screen.height > 0) {
    options.mode = placement == "fill"  ? dova::ResizeMode::Fill
                   : placement == "fit" ? dova::ResizeMode::Fit
                                        : dova::ResizeMode::Program;
  }
  options.filterIndex = std::atoi(argv[6]);
  options.threads = argc >= 8 ? std::atoi(argv[7]) : 0;
  const double cpu = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
  const double wall = Milliseconds(CLOCK_MONOTONIC);
  if (!dova::ConvertPicture(argv[2], argv[3], options)) {
    std::fprintf(stderr, "%s: no such file\n", argv[2]);
    return 1;
  }
  return PrintUsageSince(cpu, wall);
}

// The conversion with the whole decoded picture in memory, as it was done before streaming.
int ConvertWhole(int argc, char** argv) {
  if (argc != 7) return 2;
  const double cpu = Milliseconds(CLOCK_PROCESS_CPUTIME_ID);
  const double wall = Milliseconds(CLOCK_MONOTONIC);
  {
    Bitmap source = dova::DecodeJpegFile(argv[2]);
    const int width = std::atoi(argv[4]), height = std::atoi(argv[5]);
    if (width > 0 && height > 0) {
      Bitmap destination(width, height, 24);
      const dova::ResampleFilter& f = dova::FilterForIndex(std::atoi(argv[6]));
      dova::Strecth(source, destination, f.filter, f.support);
      source = Bitmap();
      dova::SaveBmpFile(destination, argv[3]);
    } else {
      dova::SaveBmpFile(source, argv[3]);
    }
  }
  return PrintUsageSince(cpu, wall);
}

// Mean absolute difference per channel value between two pictures of one size; -1 if unequal.
double MeanDifference(const Bitmap& a, const Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != 24 ||
      b.BitsPerPixel() != 24) {
    return -1;
  }
  double total = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < 3 * a.Width(); ++x) total += std::abs(a.Row(y)[x] - b.Row(y)[x]);
  }
  return total / (3.0 * a.Width() * a.Height());
}

// A binary PPM (as vips writes it) as a 24-bit blue-green-red bitmap; empty when unreadable.
Bitmap LoadPpm(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return Bitmap();
  int width = 0, height = 0, top = 0;
  Bitmap picture;
  if (std::fscanf(file, "P6 %d %d %d", &width, &height, &top) == 3 && top == 255 &&
      std::fgetc(file) != EOF) {
    picture = Bitmap(width, height, 24);
    std::vector<unsigned char> row(3 * static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
      if (std::fread(row.data(), 1, row.size(), file) != row.size()) break;
      for (int x = 0; x < width; ++x) {
        for (int c = 0; c < 3; ++c) picture.Row(y)[3 * x + c] = row[3 * x + 2 - c];
      }
    }
  }
  std::fclose(file);
  return picture;
}

// --- the pictures and the tools ------------------------------------------------------------------

struct Tools {
  bool magick = false, vips = false, thumbnail = false, pillow = false;
  std::string pillowScript = DOVA_SOURCE_DIR "/bench/pillow_resize.py";
};

Tools FindTools() {
  Tools tools;
  tools.magick = Executable(kMagick) &&
                 Run({kMagick, "-version"}).output.find("ImageMagick") != std::string::npos;
  tools.vips = Executable(kVips) && Run({kVips, "--version"}).ok;
  tools.thumbnail = Executable(kThumbnail);
  tools.pillow = Executable(kPython) && Run({kPython, "-c", "import PIL.Image"}).ok;
  if (!tools.vips) std::printf("libvips not found: apt-get install libvips-tools\n");
  if (!tools.pillow) std::printf("Pillow not found: apt-get install python3-pil\n");
  return tools;
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// A photo-like test picture: fractal plasma, detail at every scale, with a fixed seed.
bool MakePicture(const std::string& path, Size size, int seed, const Tools& tools) {
  if (!Exists(path + ".jpg")) {
    std::printf("making %s.jpg (%dx%d)...\n", path.c_str(), size.width, size.height);
    std::fflush(stdout);
    const std::string geometry = std::to_string(size.width) + "x" + std::to_string(size.height);
    if (!Run({kMagick, "-seed", std::to_string(seed), "-size", geometry, "plasma:fractal",
              "-quality", "90", path + ".jpg"})
             .ok) {
      return false;
    }
  }
  // Inputs that the tools read without decoding, for timing their resizing alone.
  if (!Exists(path + ".mpc")) Run({kMagick, path + ".jpg", path + ".mpc"});
  if (tools.vips && !Exists(path + ".v")) Run({kVips, "copy", path + ".jpg", path + ".v"});
  return true;
}

std::string Geometry(Size size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height) + "!";
}

// --- the tables
// -------------------------------------------------------------------------------------

void PrintHeader(const char* title, const char* unit) {
  std::printf("\n%s\n%s\n", title, unit);
  std::printf("%-9s %10s  %-16s %-16s %-16s\n", "filter", "ours", "ImageMagick", "libvips",
              "Pillow");
}

// Resizing alone: the picture in memory, the result in memory.
void ResizeTable(const std::string& dir, const char* name, const Bitmap& source, Size from, Size to,
                 const Tools& tools, int repeats) {
  const std::string input = dir + "/" + name;
  const std::string blank = dir + "/blank_" + name + ".v";
  if (tools.vips && !Exists(blank)) {
    Run({kVips, "black", blank, std::to_string(to.width), std::to_string(to.height), "--bands",
         "3"});
  }
  std::vector<std::string> pillowLines;
  if (tools.pillow) {
    const dova::bench::Outcome o =
        Run({kPython, tools.pillowScript, "resize", input + ".jpg", std::to_string(to.width),
             std::to_string(to.height), std::to_string(repeats), "BOX", "BILINEAR", "LANCZOS",
             "BICUBIC"});
    std::size_t start = 0, end;
    while ((end = o.output.find('\n', start)) != std::string::npos) {
      pillowLines.push_back(o.output.substr(start, end - start));
      start = end + 1;
    }
  }
  auto pillowTime = [&](const char* filter) {
    Timing t;
    for (const std::string& line : pillowLines) {
      char word[32];
      double cpu, wall;
      if (std::sscanf(line.c_str(), "%31s %lf %lf", word, &cpu, &wall) == 3 &&
          std::string(word) == filter) {
        t.Keep(cpu, wall, 0);
      }
    }
    return t;
  };

  char title[128];
  std::snprintf(title, sizeof title, "Resizing %dx%d -> %dx%d (picture in memory)", from.width,
                from.height, to.width, to.height);
  PrintHeader(title, "CPU ms, best of the runs; (ours / theirs)");
  const std::string hscale = Arg(static_cast<double>(to.width) / from.width);
  const std::string vscale = Arg(static_cast<double>(to.height) / from.height);
  for (int f = 0; f < 7; ++f) {
    const ToolNames& names = kToolNames[f];
    const Timing ours = TimeStrecth(source, to, f, repeats);
    Timing magick, vips, pillow;
    if (tools.magick) {
      magick = TimeCommand(
          {kMagick, input + ".mpc", "-filter", names.magick, "-resize", Geometry(to), "null:"},
          repeats, {kMagick, input + ".mpc", "null:"});
    }
    if (tools.vips && names.vips != nullptr) {
      vips = TimeCommand({kVips, "resize", input + ".v", dir + "/out.v", hscale, "--vscale", vscale,
                          "--kernel", names.vips},
                         repeats, {kVips, "copy", blank, dir + "/out.v"});
    }
    if (names.pillow != nullptr) pillow = pillowTime(names.pillow);
    std::printf("%-9s %10s  %-16s %-16s %-16s\n", dova::ResampleFilters[f].name,
                Format(ours.cpu).c_str(), Cell(magick, ours.cpu).c_str(),
                Cell(vips, ours.cpu).c_str(), Cell(pillow, ours.cpu).c_str());
  }
  const Timing bicubic = pillowTime("BICUBIC");
  if (bicubic.ok) {
    std::printf(
        "(Pillow has no Mitchell filter; its BICUBIC, a Catmull-Rom cubic of the same "
        "reach, takes %s ms)\n",
        Format(bicubic.cpu).c_str());
  }
}

// The whole conversion: JPEG file in, BMP file out.
void ConversionTable(const std::string& dir, const Tools& tools, int repeats) {
  const std::string photo = dir + "/photo.jpg";
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return;
  self[length] = '\0';

  std::printf("\nWhole conversion: decode the %dx%d JPEG, resize to %dx%d, write the picture\n",
              kPhoto.width, kPhoto.height, kScreen.width, kScreen.height);
  std::printf(
      "CPU ms (ours / theirs), peak memory MiB; libvips writes PPM (it has no BMP writer "
      "of its own), the others BMP\n");
  std::printf("%-9s %-14s %-22s %-22s %-22s %-22s\n", "filter", "ours", "ImageMagick", "libvips",
              "vipsthumbnail", "Pillow");
  auto cell = [](const Timing& t, double ours) {
    if (!t.ok) return std::string("n/a");
    return Cell(t, ours) + " " + std::to_string(t.peakKb / 1024);
  };
  const int filters[] = {0, 1, 5, 6};
  for (int f : filters) {
    const ToolNames& names = kToolNames[f];
    const std::string suffix = std::string("_") + dova::ResampleFilters[f].name;
    const std::string ourFile = dir + "/ours" + suffix + ".bmp";
    Timing ours, magick, vips, thumbnail, pillow;
    for (int r = 0; r < repeats; ++r) {
      const dova::bench::Outcome o =
          Run({self, "--convert", photo, ourFile, std::to_string(kScreen.width),
               std::to_string(kScreen.height), std::to_string(f), "1"});
      if (o.ok) ours.Keep(o.cpu, o.wall, o.peakKb);
    }
    if (tools.magick) {
      magick = TimeCommand({kMagick, photo, "-filter", names.magick, "-resize", Geometry(kScreen),
                            "BMP3:" + dir + "/magick" + suffix + ".bmp"},
                           repeats);
    }
    if (tools.vips && names.vips != nullptr) {
      vips = TimeCommand({kVips, "resize", photo, dir + "/vips" + suffix + ".ppm",
                          Arg(double(kScreen.width) / kPhoto.width), "--vscale",
                          Arg(double(kScreen.height) / kPhoto.height), "--kernel", names.vips},
                         repeats);
    }
    if (tools.thumbnail && f == 5) {  // its own kernel is Lanczos3
      thumbnail = TimeCommand({kThumbnail, photo, "--size", Geometry(kScreen), "-o",
                               dir + "/thumbnail" + suffix + ".ppm"},
                              repeats);
    }
    if (tools.pillow && names.pillow != nullptr) {
      for (int r = 0; r < repeats; ++r) {
        const dova::bench::Outcome o =
            Run({kPython, tools.pillowScript, "convert", photo, dir + "/pillow" + suffix + ".bmp",
                 std::to_string(kScreen.width), std::to_string(kScreen.height), names.pillow});
        double cpu, wall;
        if (o.ok && std::sscanf(o.output.c_str(), "%lf %lf", &cpu, &wall) == 2) {
          pillow.Keep(cpu, wall, o.peakKb);
        }
      }
    }
    std::printf("%-9s %-14s %-22s %-22s %-22s %-22s\n", dova::ResampleFilters[f].name,
                (Format(ours.cpu) + " " + std::to_string(ours.peakKb / 1024)).c_str(),
                cell(magick, ours.cpu).c_str(), cell(vips, ours.cpu).c_str(),
                cell(thumbnail, ours.cpu).c_str(), cell(pillow, ours.cpu).c_str());
    if (f == 6) std::printf("%-9s wall %s ms\n", "", Format(ours.wall).c_str());
  }

  // The same filter should give nearly the same picture: a check that the work is comparable.
  std::printf("\nMean |ours - theirs| per channel value, 0..255:\n");
  for (int f : {5, 6}) {
    const std::string suffix = std::string("_") + dova::ResampleFilters[f].name;
    Bitmap ours;
    try {
      ours = dova::LoadBmpFile(dir + "/ours" + suffix + ".bmp");
    } catch (const std::exception& e) {
      std::printf("  %s\n", e.what());
      continue;
    }
    auto report = [&](const char* tool, const Bitmap& theirs) {
      const double d = MeanDifference(ours, theirs);
      if (d >= 0) std::printf("  %-9s %-14s %.3f\n", dova::ResampleFilters[f].name, tool, d);
    };
    try {
      report("ImageMagick", dova::LoadBmpFile(dir + "/magick" + suffix + ".bmp"));
    } catch (const std::exception&) {
    }
    report("libvips", LoadPpm(dir + "/vips" + suffix + ".ppm"));
    if (f == 5) report("vipsthumbnail", LoadPpm(dir + "/thumbnail" + suffix + ".ppm"));
    try {
      if (kToolNames[f].pillow)
        report("Pillow", dova::LoadBmpFile(dir + "/pillow" + suffix + ".bmp"));
    } catch (const std::exception&) {
    }
  }
}

void MemoryReport(const std::string& dir) {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return;
  self[length] = '\0';
  const dova::bench::Outcome o =
      Run({self, "--convert", dir + "/photo.jpg", dir + "/memory.bmp",
           std::to_string(kScreen.width), std::to_string(kScreen.height), "6", "1"});
  const double mib = 1024.0 * 1024.0;
  const double source = 3.0 * kPhoto.width * kPhoto.height;
  const double intermediate = 3.0 * kScreen.width * kPhoto.height;
  const double destination = 3.0 * kScreen.width * kScreen.height;
  std::printf("\nPeak memory of our conversion (Mitchell, one thread, own process): %.1f MiB\n",
              o.peakKb / 1024.0);
  std::printf(
      "  the three bitmaps of the plain algorithm: source %.1f + intermediate %.1f + "
      "destination %.1f = %.1f MiB\n",
      source / mib, intermediate / mib, destination / mib,
      (source + intermediate + destination) / mib);
  std::printf("  ours streams: none of them is held whole (conversion_bench has the details)\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--convert") return ConvertOnce(argc, argv);
  if (argc > 1 && std::string(argv[1]) == "--convert-whole") return ConvertWhole(argc, argv);
  int repeats = 3;
  std::string dir;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--repeats") {
      repeats = std::max(1, std::atoi(argv[i + 1]));
    } else if (option == "--pictures") {
      dir = argv[i + 1];
    }
  }
  // One thread for every tool.
  setenv("MAGICK_THREAD_LIMIT", "1", 1);
  setenv("OMP_NUM_THREADS", "1", 1);
  setenv("VIPS_CONCURRENCY", "1", 1);

  const Tools tools = FindTools();
  if (!tools.magick) {
    std::fprintf(stderr, "ImageMagick makes the test pictures: apt-get install imagemagick\n");
    return 1;
  }
  bool temporary = false;
  if (dir.empty()) {
    char pattern[] = "/tmp/picture_bench.XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    dir = pattern;
    temporary = true;
  } else {
    mkdir(dir.c_str(), 0755);
    // vipsthumbnail takes a relative output name as relative to its input's directory.
    char* absolute = realpath(dir.c_str(), nullptr);
    if (absolute != nullptr) dir = absolute;
    std::free(absolute);
  }
  dova::bench::gErrorLog = dir + "/errors.log";
  if (!MakePicture(dir + "/photo", kPhoto, 1234, tools) ||
      !MakePicture(dir + "/hd", kHd, 99, tools)) {
    std::fprintf(stderr, "could not make the test pictures in %s\n", dir.c_str());
    return 1;
  }

  int status = 0;
  try {
    const Bitmap photo = dova::DecodeJpegFile(dir + "/photo.jpg");
    const Bitmap hd = dova::DecodeJpegFile(dir + "/hd.jpg");
    std::printf(
        "\nOne thread each (MAGICK_THREAD_LIMIT=1, VIPS_CONCURRENCY=1), %d runs, the best "
        "counted; tools' times less their start and file input/output\n",
        repeats);
    ResizeTable(dir, "photo", photo, kPhoto, kScreen, tools, repeats);
    ResizeTable(dir, "hd", hd, kHd, kXga, tools, repeats);
    ConversionTable(dir, tools, repeats);
    MemoryReport(dir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    status = 1;
  }
  if (temporary) Run({"/bin/rm", "-rf", dir});
  return status;
}
