// Arguments, streams and stop signals on Windows.
#include "platform/process.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/wide_text.h"

namespace vexel::platform {

namespace {

volatile std::sig_atomic_t stop_signal = 0;

extern "C" void OnStopSignal(int signal_number) {
    if (stop_signal != 0) {
        std::signal(signal_number, SIG_DFL);
        std::raise(signal_number);
        return;
    }
    stop_signal = signal_number == SIGBREAK ? SIGINT : signal_number;
    // The runtime resets the handler before calling it.
    std::signal(signal_number, OnStopSignal);
}

}  // namespace

bool ReadStandardInput(std::string& data, std::string& error) {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[1 << 16];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(in, buffer, sizeof buffer, &n, nullptr)) {
            if (GetLastError() == ERROR_BROKEN_PIPE) {
                return true;
            }
            error = "cannot read standard input (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        if (n == 0) {
            return true;
        }
        data.append(buffer, n);
        if (stop_signal != 0) {
            error = "stopped by a signal while waiting for data";
            return false;
        }
    }
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    // The narrow argv holds the names in the ANSI code page, which cannot
    // hold every name; the wide command line can.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        args.push_back(Narrow(wide[i]));
    }
    LocalFree(wide);
    return args;
}

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

void SetStandardOutputBinary() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

void SetStandardInputBinary() {
    _setmode(_fileno(stdin), _O_BINARY);
}

void UseUtf8Console() {
    // The code page belongs to the console, which outlives the program: the
    // one it had comes back at exit.
    static UINT previous = 0;
    previous = GetConsoleOutputCP();
    if (previous != 0 && previous != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        std::atexit([] { SetConsoleOutputCP(previous); });
    }
}

void WatchStopSignals() {
    for (const int signal_number : {SIGINT, SIGTERM, SIGBREAK}) {
        std::signal(signal_number, OnStopSignal);
    }
}

int StopSignal() {
    return stop_signal;
}

}  // namespace vexel::platform
