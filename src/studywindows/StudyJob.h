#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "studies/StudyPoint.h"

namespace quantaro {

// A what-if study running on a thread of its own while its window stays
// responsive: the window polls done() and, once finished(), wait()s and
// reads what the study left. A study that throws ends with the reason in
// error(), so no exception reaches the event loop. Going away cancels the
// study and waits for it.
class StudyJob {
  public:
    StudyJob() = default;
    ~StudyJob();
    StudyJob(const StudyJob&) = delete;
    StudyJob& operator=(const StudyJob&) = delete;

    // Starts the study, handing it a fresh control; none may be running.
    void start(std::function<void(StudyControl&)> study);
    bool running() const { return thread_.joinable() && !finished(); }
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    // Waits for the study to end; true when one had been started.
    bool wait();
    void cancel() { control_->cancel(); }
    std::uint64_t done() const { return control_->done(); }
    const std::string& error() const { return error_; }

  private:
    std::thread thread_;
    std::unique_ptr<StudyControl> control_ = std::make_unique<StudyControl>();
    std::atomic<bool> finished_{false};
    std::string error_;
};

}  // namespace quantaro
