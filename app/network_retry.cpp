#include "app/network_retry.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace dova {

namespace {

constexpr double kMinute = 1.0 / 1440;
constexpr int kLongestWaitMinutes = 60;

int WaitMinutes(int failures) {
  return failures >= 7 ? kLongestWaitMinutes : std::min(1 << (failures - 1), kLongestWaitMinutes);
}

}  // namespace

void NetworkRetry::Record(AppContext& context, DailyUpdateOutcome outcome) {
  if (outcome == DailyUpdateOutcome::Busy) return;
  if (outcome != DailyUpdateOutcome::ConnectFailed) {
    armed_ = false;
    failures_ = 0;
    return;
  }
  const double now = context.platform.clock.Now();
  if (!armed_) day_ = static_cast<int>(std::floor(now));
  armed_ = true;
  networkChanged_ = false;
  ++failures_;
  const int minutes = WaitMinutes(failures_);
  notBefore_ = now + minutes * kMinute;
  context.log.Write(LogLevel::Notice, context.Phrase("retrylater") + " " + std::to_string(minutes));
}

bool NetworkRetry::Due(AppContext& context) {
  if (!armed_) return false;
  const double now = context.platform.clock.Now();
  if (static_cast<int>(std::floor(now)) != day_ || !context.form.TabSheet1.highlighted) {
    armed_ = false;
    failures_ = 0;
    return false;
  }
  // The wait is compared in whole seconds: a tick that comes exactly when it ends counts.
  return networkChanged_ && std::round((now - notBefore_) * 86400.0) >= 0;
}

}  // namespace dova
