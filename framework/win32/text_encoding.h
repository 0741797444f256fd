// Text between the two encodings the program uses: the window layer's ANSI
// code page (the Win32 A functions, file names from list boxes and dialogs)
// and UTF-8 (the engine's and the platform layer's paths).
#pragma once

#include <string>

namespace vexel {

// ANSI (the system's active code page) to UTF-8. Every ANSI byte has a
// meaning, so nothing is lost.
std::string AnsiToUtf8(const std::string& Text);

// UTF-8 to ANSI. A character the code page cannot hold becomes the code
// page's default character ("?"); UsedDefault, when given, tells whether
// that happened, so a caller can refuse a name that would not round-trip.
// Bytes that are not valid UTF-8 become U+FFFD first, then "?".
std::string Utf8ToAnsi(const std::string& Text, bool* UsedDefault = nullptr);

}  // namespace vexel
