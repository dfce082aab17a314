// `TestApp` bundles the platform fakes with an AppContext whose program directory is a fresh
// temporary directory.
#pragma once

#include <memory>

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
  TempDir dir;
  std::unique_ptr<AppContext> context;
  AppContext& ctx() { return *context; }
};

}  // namespace dova::testing
