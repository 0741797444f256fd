// The text a modern page carries its payload in: a block comment at the start
// of its script, which the script reads back through its own text. Inside
// such a comment every ASCII character may stand but NUL and CR (which the
// HTML parser replaces or folds), "*/" (the comment's end), "</" and "<!"
// (the HTML parser's end of the script and its escape).
//
// Two encodings, the page's charset choosing:
//
// - Radix 120, for every charset that reads ASCII as ASCII: 120 characters
//   (1 to 126 without CR, 26 to 28, "*" and "<"), two of them for 13 or 14
//   bits (120 * 120 = 14400 leaves room for 14 bits whenever the low 13 are at
//   most 6207), about 1.163 characters a byte. No ESC, so that no byte of it
//   can look like an ISO-2022 escape to a charset detector; no 26, 28 and 127,
//   which some Shift_JIS decoders (Node.js's among them) swap.
//
// - Byte for byte, for a charset that maps each byte to its own character
//   (windows-1252, ISO-8859-x, KOI8, ...): each byte stands for itself but
//   those that cannot (NUL, CR, the charset's holes, "/" after "<" or "*",
//   "!" after "<", and the escape byte itself), which stand as the escape byte
//   and the byte plus an offset; about 1.01 characters a byte. The script maps
//   characters back to bytes through the browser's own decoder of the charset.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

constexpr int kRadix = 120;
// Of 13 bits, values above this one leave room to carry 14 bits in two digits.
constexpr unsigned kRadixThirteenBitLimit = kRadix * kRadix - 8192 - 1;

std::string RadixEncode(std::string_view data);
// The data back, `size` bytes; nothing when `text` holds a character outside
// the alphabet or is too short for `size` bytes.
std::optional<std::string> RadixDecode(std::string_view text, std::size_t size);
char RadixDigit(int value);
int RadixValue(unsigned char c);

// How bytes stand for themselves in a charset: the escape byte and the offset
// added to an escaped byte.
struct ByteEscape {
    unsigned char escape = 0;
    unsigned char offset = 0;
};

// The escape for a single-byte charset with `holes` (bytes it maps to no
// character); nothing when no offset moves every byte that needs escaping onto
// one that does not.
std::optional<ByteEscape> ChooseByteEscape(const bool (&holes)[256]);
std::string ByteEncode(std::string_view data, const bool (&holes)[256], ByteEscape escape);
// Nothing when the text is cut off after an escape byte.
std::optional<std::string> ByteDecode(std::string_view text, ByteEscape escape);

}  // namespace vexel
