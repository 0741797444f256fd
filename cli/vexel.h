// The vexel command line as a function: arguments in, exit status out, with
// the program's output on the given streams, so tests can run it in-process.
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace vexel::cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;       // a page or file failed
constexpr int kExitUsage = 2;        // bad usage
constexpr int kExitInterrupted = 130;  // stopped by Ctrl+C (SIGINT), as shells count it
// A run stopped by a signal ends with 128 + its number: 130 for Ctrl+C, 143
// for SIGTERM, 129 for SIGHUP.
constexpr int kExitSignalBase = 128;

// What the program knows of its surroundings beyond the two streams.
struct Console {
    // Standard error is a terminal: draw the progress bar there.
    bool errIsTerminal = false;
    // The signal that asked the run to stop (Ctrl+C, SIGTERM, SIGHUP), or 0;
    // the run stops after the page under way.
    std::function<int()> stopSignal;
    // Called before raw bytes go to `out`, which must then pass them unchanged.
    std::function<void()> rawOutput;
    // Standard input, for --files0-from -; read as bytes.
    std::istream* in = nullptr;
    // Reads all of standard input instead of `in` when given (the program's
    // own, whose wait a stop signal ends); false with the reason.
    std::function<bool(std::string& data, std::string& error)> readInput;
    // Why a write to `out` failed ("No space left on device"), once it has.
    std::function<std::string()> outputError;
};

// `args` excludes the program name.
int RunVexel(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const Console& console = {});

}  // namespace vexel::cli
