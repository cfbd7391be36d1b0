#include <QCoreApplication>

#include <csignal>
#include <iostream>

#include "cli/BatchRunner.h"
#include "documents/FileName.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void AskToStop(int signal) {
    stopSignal = signal;
}

int PendingStopSignal() {
    return stopSignal;
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
