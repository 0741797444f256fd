// Small text helpers that every layer needs alike: ASCII letter case (never
// the locale's: file extensions, tag and charset names are compared the same
// on every system), hexadecimal digits, and a name put in quotation marks for
// messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexel {

constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string LowerAscii(std::string text) {
    for (char& c : text) {
        c = AsciiLower(c);
    }
    return text;
}

inline std::string UpperAscii(std::string text) {
    for (char& c : text) {
        c = AsciiUpper(c);
    }
    return text;
}

// Equal but for the letter case of ASCII letters.
constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// The value of a hexadecimal digit in either case; -1 for any other byte.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// "name" with its quotation marks, as messages name files.
inline std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

}  // namespace vexel
