#pragma once

#include <pybind11/pybind11.h>

#include <chrono>
#include <future>
#include <utility>

#include "studies/StudyPoint.h"

namespace quantaro {

// Runs a study on a thread of its own, which becomes one of its workers,
// while the interpreter's lock is free for other Python threads. The
// calling thread looks for Ctrl+C every few milliseconds: it cancels the
// study, waits for its workers and raises KeyboardInterrupt.
template <class Study>
auto RunWatched(Study study, StudyControl& control) {
    auto running = std::async(std::launch::async, std::move(study));
    for (;;) {
        std::future_status status;
        {
            const pybind11::gil_scoped_release release;
            status = running.wait_for(std::chrono::milliseconds(20));
        }
        if (status == std::future_status::ready) return running.get();
        if (PyErr_CheckSignals() != 0) {
            control.cancel();
            {
                const pybind11::gil_scoped_release release;
                running.wait();
            }
            throw pybind11::error_already_set();
        }
    }
}

}  // namespace quantaro
