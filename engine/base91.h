// The printable carrier of modern pages: binary data as text of 91 ASCII
// characters, about 23 % longer than the data (base64: 33 %).
//
// The alphabet is every printable ASCII character but the quotation mark, the
// less-than sign and the backslash ("!" to "~" without '"', '<' and '\\'):
// nothing that ends or escapes a script string, and no "<", so neither
// "</script" nor "<!--" can ever stand in the text. ASCII bytes mean the same
// in every charset a browser reads as ASCII-compatible, so the text survives
// whatever charset the page declares.
//
// Encoding takes the data as a stream of bits, least significant first, and
// writes 13 or 14 bits at a time as two characters (low digit first): 13 bits
// when their value is above 88, since 91 * 91 = 8281 leaves room for the 14-bit
// values whose low 13 bits are 88 or less. The end carries the last few bits
// in one or two characters.
#pragma once

#include <string>
#include <string_view>

namespace vexel {

constexpr int kBase91Radix = 91;

std::string Base91Encode(std::string_view data);

// The data back; false when `text` holds a character outside the alphabet
// (`data` then holds what came before it).
bool Base91Decode(std::string_view text, std::string& data);

// The character of digit 0..90, and the digit of a character or -1.
char Base91Digit(int value);
int Base91Value(unsigned char c);

}  // namespace vexel
