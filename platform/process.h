// What the vexel program needs of its process beyond files: its arguments in
// UTF-8, the kind of its standard streams, and the signals that ask it to stop.
#pragma once

#include <string>
#include <vector>

namespace vexel::platform {

// The arguments after the program name, in UTF-8 (on Windows read from the
// wide command line, whatever the code page).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

bool StandardErrorIsTerminal();
// Standard output passes bytes unchanged (no CR added before LF on Windows).
void SetStandardOutputBinary();
// Standard input gives bytes unchanged (no CR LF folding, no end at Ctrl+Z).
void SetStandardInputBinary();
// A Windows console shows the UTF-8 paths of the log as they are.
void UseUtf8Console();

// Ctrl+C (SIGINT), SIGTERM and SIGHUP (SIGBREAK on Windows counts as Ctrl+C)
// ask the program to stop after the page under way; the same signal a second
// time ends it at once.
void WatchStopSignals();
// The signal that asked to stop, or 0.
int StopSignal();

// All of standard input, as bytes; a wait for its data ends at a stop signal.
// False with the reason in `error` when it cannot be read or a signal came.
bool ReadStandardInput(std::string& data, std::string& error);

}  // namespace vexel::platform
