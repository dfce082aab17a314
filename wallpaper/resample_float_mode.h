// The SSE control word every result of the resampler assumes: round to nearest (ties to even),
// denormals kept, every exception masked. A loaded DLL or driver may have left another one on
// the thread, and the setting belongs to each thread: every thread that runs a pass sets it for
// the work and gives the old one back afterwards, also when an error leaves.
#pragma once

#include <xmmintrin.h>

namespace dova {

class StandardFloatingPoint {
 public:
  StandardFloatingPoint() : saved_(_mm_getcsr()) { _mm_setcsr(0x1F80); }
  ~StandardFloatingPoint() { _mm_setcsr(saved_); }
  StandardFloatingPoint(const StandardFloatingPoint&) = delete;
  StandardFloatingPoint& operator=(const StandardFloatingPoint&) = delete;

 private:
  unsigned int saved_;
};

}  // namespace dova
