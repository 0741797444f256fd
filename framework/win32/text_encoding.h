// The framework's text is in the system's ANSI code page (it calls the A
// functions); the engine and the platform layer take UTF-8. These convert
// between the two where the windows hand paths and messages across.
#pragma once

#include <string>

namespace vexel {

// Characters the target cannot hold become the system's default character.
std::string AnsiToUtf8(const std::string& Ansi);
std::string Utf8ToAnsi(const std::string& Utf8);

}  // namespace vexel
