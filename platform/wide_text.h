// Windows only: the program's UTF-8 text and the system's UTF-16 text, and the
// system's own words for an error code.
#pragma once

#include <string>

namespace vexel::platform {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
// A path for the wide functions: long ones get the \\?\ prefix.
std::wstring SystemPath(const std::string& path);
// FormatMessage's text for `error`, without its final full stop and line end.
std::string SystemMessage(unsigned long error);

}  // namespace vexel::platform
