// Figures for the picture list: loading and saving a "dova.lst" of 100,000 rows, adding a
// folder of 10,000 JPEG files (each opened by the size reader, warm cache), and the cost of one
// scheduler tick that decides not to change.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/scheduler.h"
#include "picturelist/list_editing.h"
#include "picturelist/picture_list.h"
#include "platform/file_system.h"
#include "tests/support/test_app.h"
#include "tests/support/test_jpeg.h"

namespace dova {
namespace {

using Seconds = std::chrono::duration<double>;

template <typename Action>
double MedianSeconds(int runs, Action action) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    action();
    times.push_back(Seconds(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

int Run() {
  // A program folder in a temporary directory, on platform fakes that do (almost) nothing: the
  // figures are the list's own work. The fixed clock keeps the scheduler's rules from firing.
  testing::TestApp app;
  AppContext& context = app.ctx();
  const std::string root = app.dir.Path();
  CreateDirectoryPath(root + "pictures");
  testing::FakeDialogs& dialogs = app.dialogs;
  FileGridControl& grid = context.form.FileGrid;

  // 1. The list file of 100,000 rows.
  constexpr int kRows = 100000;
  grid.rows.clear();
  for (int i = 0; i < kRows; ++i)
    grid.rows.push_back(MakeListRow(
        "C:\\Documents and Settings\\User\\My Pictures\\Holidays\\" + std::to_string(i) + ".jpg",
        "1024x768"));
  SavePictureList(context);
  const long long bytes = FileSize(context.DataDir + "dova.lst");
  const double save = MedianSeconds(7, [&] { SavePictureList(context); });
  const double load = MedianSeconds(7, [&] { LoadPictureList(context, 0); });
  std::printf(
      "dova.lst of %d rows (%lld bytes): load %.1f ms (%.0f rows/s), save %.1f ms "
      "(%.0f rows/s)\n",
      grid.RowCount(), bytes, load * 1e3, kRows / load, save * 1e3, kRows / save);

  // 2. A folder of 10,000 JPEG files, copies of one small picture.
  constexpr int kFiles = 10000;
  const std::string folder = root + "pictures\\";
  testing::WriteTestJpeg(folder + "seed.jpg", 320, 240);
  std::string jpeg;
  ReadWholeFile(folder + "seed.jpg", jpeg);
  RemoveFile(folder + "seed.jpg");
  for (int i = 0; i < kFiles; ++i) {
    std::FILE* file = OpenFile(folder + "picture" + std::to_string(i) + ".jpg", "wb");
    std::fwrite(jpeg.data(), 1, jpeg.size(), file);
    std::fclose(file);
  }
  dialogs.folder = folder;
  SpeedButton7Click(context);
  SpeedButton2Click(context);  // warms the cache
  const double add = MedianSeconds(5, [&] {
    SpeedButton7Click(context);
    SpeedButton2Click(context);
  });
  std::printf("add a folder of %d JPEG files (%zu bytes each): %.1f ms, %.0f files/s (%d rows)\n",
              kFiles, jpeg.size(), add * 1e3, kFiles / add, grid.RowCount());

  // 3. One scheduler tick that does not change the wallpaper.
  int fired = 0;
  Scheduler scheduler(SchedulerActions{[&](AppContext&) {
                                         ++fired;
                                         return DailyUpdateOutcome::Unchanged;
                                       },
                                       [&](AppContext&) { ++fired; }});
  FormModel& form = context.form;
  context.PreviousSetWallpaper = context.platform.clock.Now();
  form.CheckBox2.checked = true;
  form.ComboBox1.Select(23);  // "24": midnight, while the clock shows 10:00
  form.ComboBox2.Select(0);
  form.ComboBox6.Select(24);
  form.ComboBox7.Select(0);
  form.ComboBox8.Select(24);
  form.ComboBox9.Select(0);
  struct Case {
    const char* name;
    bool pictureOfTheDay;
    bool atTime;
  };
  for (const Case& tick : {Case{"picture of the day, at-time rule", true, false},
                           Case{"from list, at-time rule", false, true},
                           Case{"from list, period rule", false, false}}) {
    form.TabSheet1.highlighted = tick.pictureOfTheDay;
    form.TabSheet2.highlighted = !tick.pictureOfTheDay;
    form.Check(tick.atTime ? form.RadioButton6 : form.RadioButton7);
    constexpr int kTicks = 1000000;
    const double seconds = MedianSeconds(3, [&] {
      for (int i = 0; i < kTicks; ++i) scheduler.Tick(context);
    });
    std::printf("scheduler tick (%s): %.0f ns\n", tick.name, seconds / kTicks * 1e9);
  }
  if (fired) std::printf("unexpected: %d changes fired\n", fired);
  return 0;
}

}  // namespace
}  // namespace dova

int main() { return dova::Run(); }
