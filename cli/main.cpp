// The vexel program: the terminal around RunVexel.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/vexel.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

// The first Ctrl+C lets the page under way finish; a second one ends at once.
extern "C" void OnInterrupt(int) {
    if (interrupted != 0) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return;
    }
    interrupted = 1;
    std::signal(SIGINT, OnInterrupt);
}

bool ErrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    vexel::cli::Console console;
    console.errIsTerminal = ErrIsTerminal();
    console.interrupted = [] { return interrupted != 0; };
    console.rawOutput = [] {
#ifdef _WIN32
        // Expanded text is bytes: no CR may be added before an LF.
        std::cout.flush();
        _setmode(_fileno(stdout), _O_BINARY);
#endif
    };
    std::signal(SIGINT, OnInterrupt);
    return vexel::cli::RunVexel(args, std::cout, std::cerr, console);
}
