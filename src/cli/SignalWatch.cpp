#include "cli/SignalWatch.h"

#include <chrono>

namespace quantaro {
namespace {

// Well inside the 50 ms in which a stop is to be seen, and rare enough to
// cost nothing.
constexpr auto kLookEvery = std::chrono::milliseconds(5);

}  // namespace

SignalWatch::SignalWatch(PendingStop pendingStop, StudyControl& control) {
    if (!pendingStop) return;
    thread_ = std::jthread([this, pendingStop, &control](std::stop_token stop) {
        while (!stop.stop_requested()) {
            if (const int signal = pendingStop()) {
                signal_.store(signal, std::memory_order_release);
                control.cancel();
                return;
            }
            std::this_thread::sleep_for(kLookEvery);
        }
    });
}

SignalWatch::~SignalWatch() = default;

}  // namespace quantaro
