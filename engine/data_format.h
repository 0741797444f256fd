// The data string: literals shifted by one, three-byte back-references, and the
// escapes that let it stand inside a script string literal. Shared by the
// encoder, the page decoders' reading of it and the raw data reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/size_limit.h"

namespace vexel {

// Literal bytes 41..126 are written one higher, so that the bytes 14..31 are
// free for back-reference lengths and ")" (41) never appears.
constexpr unsigned char kShiftFirst = 41;
constexpr unsigned char kShiftLast = 126;

// A back-reference copies 4..21 bytes; its first byte is length + 10 (14..31).
constexpr int kMinMatch = 4;
constexpr int kMaxMatch = 21;
constexpr int kLengthBias = 10;
constexpr unsigned char kFirstLengthByte = kMinMatch + kLengthBias;  // 14
constexpr unsigned char kLastLengthByte = kMaxMatch + kLengthBias;   // 31

// Distances 5..8100 are two base-90 digits, each written as digit + 35.
constexpr int kMinDistance = 5;
constexpr int kDistanceBase = 90;
constexpr int kDistanceDigitBias = 35;

// Search windows: the normal one reaches as far as two digits can say, the
// high-speed one trades compression for a search about 22 times shorter.
constexpr int kWideWindow = 8100;
constexpr int kHighSpeedWindow = 360;

// Bytes that would end or break a string literal, and the codes that stand for
// them in the data string.
constexpr unsigned char kEscapedTab = 1;
constexpr unsigned char kEscapedLf = 2;
constexpr unsigned char kEscapedCr = 3;
constexpr unsigned char kEscapedQuote = 4;

inline unsigned char ShiftLiteral(unsigned char b) {
    return (b >= kShiftFirst && b <= kShiftLast) ? static_cast<unsigned char>(b + 1) : b;
}

// Replaces quotation mark, TAB, CR and LF by the codes 4, 1, 3, 2 in place.
void EscapeDataString(std::string& data);

// How the literals of a data string are read back.
enum class Literals {
    Shifted,  // as the raw data reader does: every literal stays as read
    Unshift,  // as the page decoders do: 42..127 become 41..126
};

// True when the "<" at `at` starts "</script", "<script" (ASCII letters in any
// case) or "<!--": an HTML parser would end the script there, or take what
// follows for a comment or a nested script and swallow the rest of the page.
// The data string may hold them; the page writers put a harmless break right
// after such a "<" (`breaker`) and the readers take it out again.
bool BreaksScriptAt(std::string_view text, std::size_t at);
// True when the bytes at `at` are what make a "<" before them break a script.
bool ScriptBreakFollows(std::string_view text, std::size_t at);

// `text` with `breaker` written after every "<" that BreaksScriptAt.
std::string GuardScriptBreaks(std::string_view text, std::string_view breaker);

// Expands a data string. On corrupt data, or when the text would grow beyond
// `limit`, it throws DataError and leaves in `out` what was expanded up to
// that point.
void ExpandData(std::string_view data, Literals literals, std::string& out, std::size_t limit = kPageSizeLimit);

}  // namespace vexel
