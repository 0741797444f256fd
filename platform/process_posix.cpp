// Arguments, streams and stop signals on POSIX systems.
#include "platform/process.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

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

bool ReadStandardInput(std::string& data, std::string& error) {
    // Polled in steps, so that a stop signal ends the wait (a read would be
    // restarted after it).
    char buffer[1 << 16];
    for (;;) {
        if (stop_signal != 0) {
            error = "stopped by a signal while waiting for data";
            return false;
        }
        pollfd wait = {STDIN_FILENO, POLLIN, 0};
        if (::poll(&wait, 1, 100) <= 0) {
            continue;
        }
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n == 0) {
            return true;
        }
        if (n > 0) {
            data.append(buffer, static_cast<std::size_t>(n));
        } else if (errno != EINTR && errno != EAGAIN) {
            error = std::strerror(errno);
            return false;
        }
    }
}

}  // namespace vexel::platform
