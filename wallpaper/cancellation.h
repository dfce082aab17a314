// Stopping a picture conversion from another thread: the caller owns a flag, hands its address
// to the work and sets it to true; the work sees it at its next step (a band of rows, a step of
// the JPEG library) and leaves by throwing ConversionCancelled.
#pragma once

#include <atomic>

#include "platform/error.h"

namespace dova {

using CancelFlag = std::atomic<bool>;

// Thrown when the flag was set. A dova::Error, so that code which only knows errors still
// stops cleanly, but callers that stop on purpose can tell it apart.
class ConversionCancelled : public Error {
 public:
  ConversionCancelled() : Error("The picture conversion was stopped") {}
};

// True when `flag` is given and set.
inline bool CancelRequested(const CancelFlag* flag) {
  return flag != nullptr && flag->load(std::memory_order_relaxed);
}

inline void ThrowIfCancelled(const CancelFlag* flag) {
  if (CancelRequested(flag)) throw ConversionCancelled();
}

}  // namespace dova
