// Arguments, streams and stop signals on POSIX systems.
#include "platform/process.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>

namespace vexel::platform {

namespace {

volatile std::sig_atomic_t stop_signal = 0;

extern "C" void OnStopSignal(int signal_number) {
    if (stop_signal != 0) {
        // Asked twice: end now, as the signal would have without us.
        ::signal(signal_number, SIG_DFL);
        ::raise(signal_number);
        return;
    }
    stop_signal = signal_number;
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

void SetStandardOutputBinary() {}

void SetStandardInputBinary() {}

void UseUtf8Console() {}

void WatchStopSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes under way go on: the page in hand is finished.
    action.sa_flags = SA_RESTART;
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal_number, &action, nullptr);
    }
    // A file size limit (ulimit -f) makes the write that passes it fail
    // (EFBIG), which is reported with the file it was for and cleaned up,
    // instead of ending the program with a temporary file left behind.
    ::signal(SIGXFSZ, SIG_IGN);
}

int StopSignal() {
    return stop_signal;
}

}  // namespace vexel::platform
