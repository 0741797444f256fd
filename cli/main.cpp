// The vexel program: the process around RunVexel (UTF-8 arguments, standard
// streams, stop signals).
#include <iostream>
#include <string>
#include <vector>

#include "cli/vexel.h"
#include "platform/process.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args = vexel::platform::CommandLineArguments(argc, argv);
    vexel::cli::Console console;
    console.errIsTerminal = vexel::platform::StandardErrorIsTerminal();
    console.stopSignal = [] { return vexel::platform::StopSignal(); };
    console.rawOutput = [] {
        // Expanded text is bytes: no CR may be added before an LF.
        std::cout.flush();
        vexel::platform::SetStandardOutputBinary();
    };
    console.in = &std::cin;
    vexel::platform::SetStandardInputBinary();
    vexel::platform::UseUtf8Console();
    vexel::platform::WatchStopSignals();
    return vexel::cli::RunVexel(args, std::cout, std::cerr, console);
}
