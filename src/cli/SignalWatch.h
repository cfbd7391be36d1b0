#pragma once

#include <atomic>
#include <thread>

#include "cli/BatchRunner.h"
#include "studies/StudyPoint.h"

namespace quantaro {

// Watches for a stop request while a study runs: a signal cancels the
// study's control within a few milliseconds, which the study sees between
// any two passes, inside a point or a trial too.
class SignalWatch {
  public:
    SignalWatch(PendingStop pendingStop, StudyControl& control);
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    // The signal that stopped the study, 0 while none has.
    int signal() const { return signal_.load(std::memory_order_acquire); }

  private:
    std::atomic<int> signal_{0};
    std::jthread thread_;
};

}  // namespace quantaro
