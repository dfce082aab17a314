// A picture-of-the-day run, at start-up or by the schedule, that could not reach its channel
// (no network, no name) is tried again once the system reports that the network is back: not
// before a wait that doubles after each failure (1, 2, 4 ... 60 minutes), and only on the day of
// the first failure. While the network stays down nothing is tried: a try needs a report of a
// network change since the last one.
#pragma once

#include "form/app_context.h"
#include "online/daily_update.h"

namespace dova {

class NetworkRetry {
 public:
  // What a start-up, scheduled or retried run gave. ConnectFailed arms the retry (or lengthens
  // its wait) and writes "retrylater" with the wait in minutes to the journal; Busy changes
  // nothing; any other outcome ends it.
  void Record(AppContext& context, DailyUpdateOutcome outcome);

  // The system reported a change of the network's addresses.
  void NetworkChanged() { networkChanged_ = true; }

  // True when a try is due now: armed, a network change reported since the last try, the wait
  // over, still the day of the first failure and the picture-of-the-day mode. A new day or the
  // other mode ends the retry.
  bool Due(AppContext& context);

  bool Armed() const { return armed_; }

 private:
  bool armed_ = false;
  bool networkChanged_ = false;
  int failures_ = 0;
  int day_ = 0;           // the local date of the first failure, in days
  double notBefore_ = 0;  // local date-time
};

}  // namespace dova
