#include "studywindows/StudyJob.h"

#include <exception>
#include <new>
#include <utility>

namespace quantaro {

StudyJob::~StudyJob() {
    cancel();
    wait();
}

void StudyJob::start(std::function<void(StudyControl&)> study) {
    wait();
    control_ = std::make_unique<StudyControl>();
    finished_.store(false, std::memory_order_relaxed);
    error_.clear();
    thread_ = std::thread([this, study = std::move(study)] {
        try {
            study(*control_);
        } catch (const std::bad_alloc&) {
            error_ = "There is not enough memory to complete the study.";
        } catch (const std::exception& fault) {
            error_ = fault.what();
        } catch (...) {
            error_ = "The study failed";
        }
        finished_.store(true, std::memory_order_release);
    });
}

bool StudyJob::wait() {
    if (!thread_.joinable()) return false;
    thread_.join();
    return true;
}

}  // namespace quantaro
