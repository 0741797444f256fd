// Small text helpers that every layer needs alike: ASCII letter case (never
// the locale's: file extensions, tag and charset names are compared the same
// on every system), the whitespace of HTML, hexadecimal digits, and a name
// put in quotation marks for messages. Header only, with no system header:
// the portable object model uses it too.
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

constexpr bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Space, tab, line feed, form feed and carriage return: the whitespace of
// HTML's tags and attributes (no vertical tab).
constexpr bool IsAsciiWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// Whether text holds word at position at (0-based), but for the letter case
// of ASCII letters.
constexpr bool StartsWithIgnoringAsciiCase(std::string_view text, std::size_t at, std::string_view word) {
    return at <= text.size() && EqualsIgnoringAsciiCase(text.substr(at, word.size()), word);
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

// The byte that two hexadecimal digits stand for; -1 when either is none.
constexpr int HexByteValue(char high, char low) {
    return HexDigitValue(high) < 0 || HexDigitValue(low) < 0 ? -1 : HexDigitValue(high) * 16 + HexDigitValue(low);
}

// The hexadecimal digit of the low four bits of a value, in capitals unless
// asked for small letters.
constexpr char HexDigitOf(unsigned value, bool smallLetters = false) {
    const unsigned digit = value & 0xFu;
    return static_cast<char>(digit < 10 ? '0' + digit : (smallLetters ? 'a' : 'A') + digit - 10);
}

// "name" with its quotation marks, as messages name files.
inline std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

}  // namespace vexel
