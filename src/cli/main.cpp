#include <QCoreApplication>

#include <atomic>
#include <csignal>
#include <iostream>

#include "cli/BatchRunner.h"
#include "documents/FileName.h"

namespace {

// Atomic, as a study's threads read it while the handler may write it.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may store it");

extern "C" void AskToStop(int signal) {
    stopSignal.store(signal, std::memory_order_relaxed);
}

int PendingStopSignal() {
    return stopSignal.load(std::memory_order_relaxed);
}

// Ctrl+C or a termination request ends a long run after the pass under way,
// with the table as it then stands, instead of killing it mid-pass.
void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = AskToStop;
    action.sa_flags = SA_RESTART;  // no read or write of the run fails for it
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quantaro-cli");
    CatchStopSignals();
    // The arguments as their bytes, which QCoreApplication::arguments() would
    // not keep for a file name that is not UTF-8.
    QStringList arguments;
    for (int k = 1; k < argc; ++k) arguments << quantaro::FileNameFromBytes(argv[k]);
    return quantaro::RunBatch(arguments, std::cout, std::cerr, PendingStopSignal);
}
