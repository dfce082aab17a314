// `TestApp` bundles the platform fakes with an AppContext whose program directory is a fresh
// temporary directory.
#pragma once

#include <memory>
#include <string>

#include "form/app_context.h"
#include "tests/support/fake_platform.h"

namespace dova::testing {

// An AppContext on fakes with ProgramDir a temporary directory holding "Sites\" and
// "Languages\" (English.ini copied from the project).
struct TestApp {
  TestApp();
  FakeClock clock;
  FakeScreen screen;
  FakePump pump;
  FakeErrorBox errors;
  FakeTextMeasure text;
  FakeDialogs dialogs;
  FakeHelp help;
  FakeDesktop desktop;
  FakeWindow window;
  FakeStartupEntries startup;
  TempDir dir;
  std::unique_ptr<AppContext> context;
  AppContext& ctx() { return *context; }
};

// Fills the picture list with `count` rows "p<i>.jpg", "1024x768", "C:\\p<i>.jpg".
inline void FillRows(FormModel& f, int count) {
  f.FileGrid.SetRowCount(count);
  for (int i = 0; i < count; ++i)
    f.FileGrid.rows[i] = {"p" + std::to_string(i) + ".jpg", "1024x768",
                          "C:\\p" + std::to_string(i) + ".jpg"};
}

}  // namespace dova::testing
