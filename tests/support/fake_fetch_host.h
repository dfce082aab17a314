// A FetchHost for tests and benchmarks: settings in plain members, a real steady clock, and a
// record of what the fetcher asked of the window.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "online/http_fetcher.h"
#include "platform/clock.h"

namespace dova {

// Steady milliseconds and real sleeping; the calendar parts are not used by the fetcher.
class SteadyTestClock : public Clock {
 public:
  double Now() override { return 0; }
  double UtcNow() override { return 0; }
  std::string FormatShortDate(double) override { return std::string(); }
  std::string FormatLongTime(double) override { return std::string(); }
  char DecimalSeparator() override { return '.'; }
  std::uint64_t SteadyMilliseconds() override {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
  void Sleep(unsigned milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

class FakeFetchHost : public FetchHost {
 public:
  ConnectionSettings settings;
  bool windowClosed = false;
  int pumps = 0;
  int terminations = 0;
  bool recordProgress = true;
  std::vector<std::string> progress;
  std::string lastProgress;

  FakeFetchHost() { settings.speed = "10"; }

  ConnectionSettings Settings() override { return settings; }
  void ProcessMessages() override { ++pumps; }
  bool WindowClosed() override { return windowClosed; }
  void Terminate() override { ++terminations; }
  void ShowProgress(const std::string& statusText) override {
    lastProgress = statusText;
    if (recordProgress) progress.push_back(statusText);
  }
  std::string Phrase(const std::string& key) override {
    return key == "downloadedbytes" ? "Downloaded" : std::string();
  }
  Clock& TransferClock() override { return clock_; }

 private:
  SteadyTestClock clock_;
};

}  // namespace dova
