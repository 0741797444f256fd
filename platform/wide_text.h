// Windows only: the program's UTF-8 text and the system's UTF-16 text, and the
// system's own words for an error code.
#pragma once

#include <stdexcept>
#include <string>

namespace vexel::platform {

// Raised by the exact conversions; the message names the text.
class TextConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bytes that are not UTF-8, or a lone surrogate, become U+FFFD: for text that
// is only shown, or a path whose failure reports the name anyway.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
// The same, but a text that would lose a character raises
// TextConversionError naming it (undecodable bytes as \xNN, a lone
// surrogate as <U+D800>): for names the program passes on.
std::wstring WidenExact(const std::string& utf8);
std::string NarrowExact(const std::wstring& utf16);
// A path for the wide functions: long ones get the \\?\ prefix.
std::wstring SystemPath(const std::string& path);
// FormatMessage's text for `error`, without its final full stop and line end.
std::string SystemMessage(unsigned long error);

}  // namespace vexel::platform
